#include "tools/rcgen/resource_script.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "res/dialog_templates.h"
#include "res/resource_ids.h"
#include "res/strings.h"

namespace rcgen {
namespace {

using ui::ControlKind;
using ui::ControlSpec;
using ui::DialogTemplate;

// A resource script's string: quotes doubled, backslashes escaped.
std::string quoted(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"') out += "\"\"";
    else if (c == '\\') out += "\\\\";
    else out += c;
  }
  return out + '"';
}

std::string rectangle(const ui::DialogRect& rect) {
  return std::to_string(rect.x) + ", " + std::to_string(rect.y) + ", " + std::to_string(rect.width) + ", " +
         std::to_string(rect.height);
}

// The statement for a control of this kind, up to its rectangle, and the
// style bits its kind always has. The generic CONTROL statement takes the
// style before the rectangle, the others after it.
struct Statement {
  std::string head;
  std::string style;
  bool generic = false;
};

Statement statementFor(const ControlSpec& control, const std::string& id) {
  const std::string text = quoted(control.text);
  switch (control.kind) {
    case ControlKind::PushButton:
      if (control.style & ui::Default) return {"DEFPUSHBUTTON " + text + ", " + id, "BS_DEFPUSHBUTTON"};
      return {"PUSHBUTTON " + text + ", " + id, "BS_PUSHBUTTON"};
    case ControlKind::GroupBox:
      return {"GROUPBOX " + text + ", " + id, "BS_GROUPBOX"};
    case ControlKind::Static:
      // SS_LEFT breaks lines at word ends; the other statics are one line.
      return {"LTEXT " + text + ", " + id, (control.style & ui::WordWrap) ? "SS_LEFT" : "SS_LEFTNOWORDWRAP"};
    case ControlKind::Edit:
      return {"EDITTEXT " + id,
              std::string("ES_LEFT | ES_AUTOHSCROLL | WS_BORDER") + ((control.style & ui::ReadOnly) ? " | ES_READONLY" : "")};
    case ControlKind::ListView:
      // Rows only in insertion order, whole rows, several at once, no
      // editing; the selection shows only while the list has the focus. The
      // Windows front-end keeps the rows itself (up to 100,000) and the list
      // asks it for the texts it draws.
      return {"CONTROL \"\", " + id + ", \"SysListView32\"", "LVS_REPORT | LVS_OWNERDATA | WS_BORDER", true};
    case ControlKind::IpAddress:
      return {"CONTROL \"\", " + id + ", \"SysIPAddress32\"", "", true};
    case ControlKind::TabControl:
      return {"CONTROL \"\", " + id + ", \"SysTabControl32\"", "", true};
    case ControlKind::Icon:
      return {"ICON " + std::to_string(ui::ids::kAppIcon) + ", " + id, "SS_ICON"};
  }
  return {};
}

bool isTabStop(const DialogTemplate& dialog, int id) {
  return std::find(dialog.tabOrder.begin(), dialog.tabOrder.end(), id) != dialog.tabOrder.end();
}

// Tab stops must come in the template's tab order when read in creation order.
bool tabOrderFollowsCreation(const DialogTemplate& dialog) {
  std::vector<int> stops;
  for (const ControlSpec& control : dialog.controls)
    if (isTabStop(dialog, control.id)) stops.push_back(control.id);
  return stops == dialog.tabOrder;
}

void writeControl(std::ostream& out, const DialogTemplate& dialog, const ControlSpec& control) {
  const std::string id = std::to_string(control.id);
  const Statement statement = statementFor(control, id);
  const bool tabStop = isTabStop(dialog, control.id);
  // Every bit said outright: the statements' own defaults differ between
  // resource compilers. Bits taken away come last.
  std::string style = "WS_CHILD | WS_VISIBLE | " + (statement.style.empty() ? "" : statement.style + " | ");
  style += tabStop ? "WS_TABSTOP" : "NOT WS_TABSTOP";
  if (control.style & ui::Hidden) style += " | NOT WS_VISIBLE";
  out << "    " << statement.head << ", ";
  if (statement.generic) out << style << ", " << rectangle(control.rect) << "\n";
  else out << rectangle(control.rect) << ", " << style << "\n";
}

void writeDialog(std::ostream& out, int resourceId, const DialogTemplate& dialog, const std::string& style,
                 const std::string& extendedStyle) {
  out << resourceId << " DIALOGEX 0, 0, " << dialog.width << ", " << dialog.height << "\n";
  out << "STYLE " << style << "\n";
  if (!extendedStyle.empty()) out << "EXSTYLE " << extendedStyle << "\n";
  if (*dialog.caption) out << "CAPTION " << quoted(dialog.caption) << "\n";
  out << "FONT " << dialog.pointSize << ", \"MS Shell Dlg\", 400, 0, 0x1\n";
  out << "BEGIN\n";
  for (const ControlSpec& control : dialog.controls) writeControl(out, dialog, control);
  out << "END\n\n";
}

}  // namespace

bool writeResourceScript(std::ostream& out, const std::string& iconFile, std::string& why) {
  namespace ids = ui::ids;
  const struct {
    int id;
    const DialogTemplate& dialog;
    const char* style;
    const char* extendedStyle;
  } dialogs[] = {
      {ids::kAboutDialog, ui::aboutTemplate(), "DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU", ""},
      {ids::kMainDialog, ui::mainWindowTemplate(),
       "DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX",
       "WS_EX_APPWINDOW"},
      {ids::kCameraPageDialog, ui::cameraPageTemplate(), "DS_CONTROL | DS_SETFONT | WS_CHILD", ""},
      {ids::kCalcPageDialog, ui::calcPageTemplate(), "DS_CONTROL | DS_SETFONT | WS_CHILD", ""},
      {ids::kBatchDialog, ui::batchTemplate(), "DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU", ""},
  };
  for (const auto& entry : dialogs) {
    if (!tabOrderFollowsCreation(entry.dialog)) {
      why = "dialog " + std::to_string(entry.id) + ": the tab order does not follow the creation order";
      return false;
    }
  }

  out << "// Made by tovalen-rcgen from the templates, ids and texts of res.\n";
  out << "#pragma code_page(65001)\n\n";
  out << ids::kAppIcon << " ICON " << quoted(iconFile) << "\n\n";
  out << "STRINGTABLE\nBEGIN\n    " << ids::kAboutMenuString << ", " << quoted(ui::strings::kAboutMenuEntry)
      << "\nEND\n\n";
  for (const auto& entry : dialogs) writeDialog(out, entry.id, entry.dialog, entry.style, entry.extendedStyle);
  return true;
}

}  // namespace rcgen
