#include "tools/rcgen/resource_script.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <string_view>
#include <utility>
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
    case ControlKind::TextView:
      // Lines wrap at the box's width (no ES_AUTOHSCROLL).
      return {"EDITTEXT " + id, "ES_LEFT | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER"};
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

// A file version is four 16-bit numbers; "1.0" is 1, 0, 0, 0.
std::optional<std::array<unsigned, 4>> versionNumbers(std::string_view dotted) {
  std::array<unsigned, 4> numbers{};
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    const std::size_t end = std::min(dotted.find('.'), dotted.size());
    const auto [rest, error] = std::from_chars(dotted.data(), dotted.data() + end, numbers[i]);
    if (end == 0 || error != std::errc() || rest != dotted.data() + end || numbers[i] > 0xFFFF) return std::nullopt;
    if (end == dotted.size()) return numbers;
    dotted.remove_prefix(end + 1);
  }
  return std::nullopt;  // more than four
}

// The program's name, version and copyright in the file's properties, in
// Simplified Chinese (0x0804) and UTF-16 (1200).
void writeVersion(std::ostream& out, const std::array<unsigned, 4>& numbers, const ProductVersion& product) {
  std::string fixed;
  for (const unsigned number : numbers) fixed += (fixed.empty() ? "" : ", ") + std::to_string(number);
  out << "VS_VERSION_INFO VERSIONINFO\n"
      << "FILEVERSION " << fixed << "\nPRODUCTVERSION " << fixed << "\n"
      << "FILEFLAGSMASK VS_FFI_FILEFLAGSMASK\nFILEFLAGS 0\nFILEOS VOS_NT_WINDOWS32\nFILETYPE VFT_APP\nFILESUBTYPE 0\n"
      << "BEGIN\n    BLOCK \"StringFileInfo\"\n    BEGIN\n        BLOCK \"080404B0\"\n        BEGIN\n";
  const std::pair<const char*, std::string> values[] = {
      {"FileDescription", ui::strings::kProgramDescription},
      {"FileVersion", product.version},
      {"InternalName", "tovalen"},
      {"LegalCopyright", product.copyright},
      {"OriginalFilename", "tovalen.exe"},
      {"ProductName", "Tovalen"},
      {"ProductVersion", product.version},
  };
  for (const auto& [name, value] : values) out << "            VALUE " << quoted(name) << ", " << quoted(value) << "\n";
  out << "        END\n    END\n    BLOCK \"VarFileInfo\"\n    BEGIN\n        VALUE \"Translation\", 0x0804, 1200\n"
      << "    END\nEND\n";
}

}  // namespace

bool writeResourceScript(std::ostream& out, const std::string& iconFile, const ProductVersion& product,
                         std::string& why) {
  const auto version = versionNumbers(product.version);
  if (!version) {
    why = "version " + product.version + ": not up to four dotted numbers of at most 65535";
    return false;
  }
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
      {ids::kNetworkCheckDialog, ui::networkCheckTemplate(),
       "DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU", ""},
      {ids::kPlanDialog, ui::planTemplate(), "DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU", ""},
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
  writeVersion(out, *version, product);
  return true;
}

}  // namespace rcgen
