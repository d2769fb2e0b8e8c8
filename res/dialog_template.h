// Dialog layouts kept as data, in the units and terms of the dialog templates
// the program was first drawn with. No toolkit is involved: the Qt front-end
// builds widgets from them (qt/dialog_builder.h), the Windows one its dialog
// resources.
#pragma once

#include <vector>

namespace ui {

// TextView: a read-only box of many lines, wrapped and scrolled, whose text
// the user can select.
enum class ControlKind { PushButton, GroupBox, Static, Edit, ListView, IpAddress, TabControl, Icon, TextView };

// A control's number in its dialog, typed with its kind, so that a lookup by
// name gets the right kind of widget and a template cannot give the number
// another kind (resource_ids.h names them all).
template <ControlKind K>
struct ControlId {
  int value;
};

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
  // A control the code refers to, by its name.
  template <ControlKind K>
  ControlSpec(ControlId<K> name, const char* text, DialogRect rect, unsigned style = Plain)
      : id(name.value), kind(K), text(text), rect(rect), style(style) {}
  // A static text or frame no code refers to.
  ControlSpec(ControlKind kind, const char* text, DialogRect rect, unsigned style = Plain)
      : id(kUnnamedControl), kind(kind), text(text), rect(rect), style(style) {}

  int id;
  ControlKind kind;
  const char* text;  // UTF-8
  DialogRect rect;
  unsigned style;
};

struct DialogTemplate {
  const char* caption;  // UTF-8; empty for the pages, which have none
  int width, height;    // client area, in dialog units
  int pointSize;
  std::vector<ControlSpec> controls;  // in creation order, which is also the stacking order
  std::vector<int> tabOrder;          // ids of the tab stops, in Tab order
};

}  // namespace ui
