// Dialog layouts kept as data, in the units and terms of the dialog templates
// the program was first drawn with; dialog_builder.h turns them into widgets.
#pragma once

#include <vector>

namespace ui {

enum class ControlKind { PushButton, GroupBox, Static, Edit, ListView, IpAddress, TabControl, Icon };

// Bit flags; a control without any is Plain. (Not "None": X11 defines that
// as a macro.)
enum ControlStyle : unsigned {
  Plain = 0,
  Default = 1u << 0,    // the dialog's default push button
  Hidden = 1u << 1,     // created but never shown
  ReadOnly = 1u << 2,   // edit box the user cannot change
  NoTabStop = 1u << 3,  // skipped by Tab
  WordWrap = 1u << 4,   // static text that runs over several lines
};

// In dialog units: a quarter of the font's average letter width across, an
// eighth of its height down.
struct DialogRect {
  int x, y, width, height;
};

inline constexpr int kUnnamedControl = -1;

struct ControlSpec {
  int id;  // kUnnamedControl for the statics and frames no code refers to
  ControlKind kind;
  const char* text;  // UTF-8
  DialogRect rect;
  unsigned style;
};

struct DialogTemplate {
  int resourceId;
  const char* caption;  // UTF-8; empty for the pages, which have none
  int width, height;    // client area, in dialog units
  int pointSize;
  std::vector<ControlSpec> controls;  // in creation order, which is also the stacking order
  std::vector<int> tabOrder;          // ids of the tab stops, in Tab order
};

}  // namespace ui
