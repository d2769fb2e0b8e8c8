#include "win32/program_driver.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <thread>

#include "win32/text.h"

namespace win32test {
namespace {

// Memory in another process, freed when this goes.
class RemoteMemory {
 public:
  RemoteMemory(HANDLE process, std::size_t size)
      : process_(process), address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
  ~RemoteMemory() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  }
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;

  template <typename T>
  T* at(std::size_t offset = 0) const {
    return reinterpret_cast<T*>(static_cast<char*>(address_) + offset);
  }
  bool write(const void* data, std::size_t size, std::size_t offset = 0) const {
    return WriteProcessMemory(process_, at<char>(offset), data, size, nullptr);
  }
  bool read(void* data, std::size_t size, std::size_t offset = 0) const {
    return ReadProcessMemory(process_, at<char>(offset), data, size, nullptr);
  }

 private:
  HANDLE process_;
  void* address_;
};

constexpr int kCellCharacters = 256;

struct DialogSearch {
  DWORD processId;
  std::wstring caption;
  HWND owner;
  HWND found = nullptr;
};

BOOL CALLBACK matchDialog(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<DialogSearch*>(context);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId != search.processId || className(window) != L"#32770" || windowText(window) != search.caption ||
      (search.owner && GetWindow(window, GW_OWNER) != search.owner))
    return TRUE;
  search.found = window;
  return FALSE;
}

}  // namespace

std::wstring windowsPath(const std::string& unixPath) {
  std::wstring path = L"Z:" + win32::fromUtf8(unixPath);
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return path;
}

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds patience) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

std::optional<FileProperties> fileProperties(const std::wstring& path) {
  std::vector<char> block(GetFileVersionInfoSizeW(path.c_str(), nullptr));
  if (block.empty() || !GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()))
    return std::nullopt;
  void* value = nullptr;
  UINT length = 0;
  FileProperties properties;
  if (!VerQueryValueW(block.data(), L"\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO)) return std::nullopt;
  properties.versionHigh = static_cast<const VS_FIXEDFILEINFO*>(value)->dwFileVersionMS;
  properties.versionLow = static_cast<const VS_FIXEDFILEINFO*>(value)->dwFileVersionLS;
  if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &length) || length < 4)
    return std::nullopt;
  const auto* language = static_cast<const WORD*>(value);
  wchar_t table[16];
  swprintf(table, std::size(table), L"%04x%04x", language[0], language[1]);
  const auto text = [&](const wchar_t* name) -> std::wstring {
    const std::wstring query = std::wstring(L"\\StringFileInfo\\") + table + L"\\" + name;
    if (!VerQueryValueW(block.data(), query.c_str(), &value, &length) || length == 0) return {};
    return {static_cast<const wchar_t*>(value), length - 1};  // the length counts the NUL
  };
  properties.description = text(L"FileDescription");
  properties.fileVersion = text(L"FileVersion");
  properties.productName = text(L"ProductName");
  properties.productVersion = text(L"ProductVersion");
  properties.copyright = text(L"LegalCopyright");
  return properties;
}

ProgramProcess::ProgramProcess(const std::wstring& executable, const std::wstring& arguments) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  std::wstring commandLine = L"\"" + executable + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
  if (!CreateProcessW(executable.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info_))
    info_ = {};
}

ProgramProcess::~ProgramProcess() {
  if (!started()) return;
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, INFINITE);
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

std::optional<DWORD> ProgramProcess::exitCode(std::chrono::milliseconds patience) const {
  if (!started() || WaitForSingleObject(info_.hProcess, static_cast<DWORD>(patience.count())) != WAIT_OBJECT_0)
    return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

std::wstring windowText(HWND window) {
  // WM_GETTEXT carries its buffer to the other process and back.
  wchar_t text[1024] = {};
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                           5000, &length))
    return L"(no answer)";
  return {text, static_cast<std::size_t>(length)};
}

std::wstring className(HWND window) {
  wchar_t name[64] = {};
  return {name, static_cast<std::size_t>(GetClassNameW(window, name, std::size(name)))};
}

HWND findDialog(DWORD processId, const std::wstring& caption, HWND owner) {
  DialogSearch search{processId, caption, owner};
  EnumWindows(matchDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<std::wstring> staticTexts(HWND dialog) {
  std::vector<std::wstring> texts;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (className(child) != L"Static" || (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) continue;
    if (std::wstring text = windowText(child); !text.empty()) texts.push_back(std::move(text));
  }
  return texts;
}

void click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void pressKey(HWND window, WORD key) {
  GUITHREADINFO thread{};
  thread.cbSize = sizeof thread;
  const HWND target =
      GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread) && thread.hwndFocus ? thread.hwndFocus : window;
  const UINT scanCode = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
  PostMessageW(target, WM_KEYDOWN, key, 1 | scanCode << 16);
  PostMessageW(target, WM_KEYUP, key, 1 | scanCode << 16 | 3u << 30);
}

void clickAt(HWND window, int x, int y) {
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

DWORD addressValue(HANDLE process, HWND control) {
  RemoteMemory memory(process, sizeof(DWORD));
  DWORD value = 0;
  memory.write(&value, sizeof value);
  SendMessageW(control, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(memory.at<DWORD>()));
  memory.read(&value, sizeof value);
  return value;
}

RECT tabDisplayArea(HANDLE process, HWND tabs) {
  RECT area{};
  GetClientRect(tabs, &area);
  RemoteMemory memory(process, sizeof area);
  memory.write(&area, sizeof area);
  SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(memory.at<RECT>()));
  memory.read(&area, sizeof area);
  MapWindowPoints(tabs, nullptr, reinterpret_cast<POINT*>(&area), 2);
  return area;
}

void sendDpiChange(HANDLE process, HWND window, int dpi, const RECT& suggested) {
  RemoteMemory memory(process, sizeof suggested);
  memory.write(&suggested, sizeof suggested);
  SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(memory.at<RECT>()));
}

int RemoteList::rowCount() const { return static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0)); }

std::wstring RemoteList::cell(int row, int column) const {
  RemoteMemory memory(process_, sizeof(LVITEMW) + kCellCharacters * sizeof(wchar_t));
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = memory.at<wchar_t>(sizeof(LVITEMW));
  item.cchTextMax = kCellCharacters;
  if (!memory.write(&item, sizeof item)) return L"(unwritable)";
  const auto length = SendMessageW(list_, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(memory.at<LVITEMW>()));
  wchar_t text[kCellCharacters] = {};
  if (!memory.read(text, sizeof text, sizeof(LVITEMW))) return L"(unreadable)";
  return {text, static_cast<std::size_t>(std::clamp<LRESULT>(length, 0, kCellCharacters - 1))};
}

int RemoteList::columnCount() const {
  const auto header = reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETHEADER, 0, 0));
  return header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

std::vector<std::vector<std::wstring>> RemoteList::rows() const {
  std::vector<std::vector<std::wstring>> all;
  const int columns = columnCount();
  for (int row = 0; row < rowCount(); ++row) {
    std::vector<std::wstring>& cells = all.emplace_back();
    for (int column = 0; column < columns; ++column) cells.push_back(cell(row, column));
  }
  return all;
}

void RemoteList::select(int row, bool selected) const {
  RemoteMemory memory(process_, sizeof(LVITEMW));
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED;
  item.state = selected ? LVIS_SELECTED : 0;
  memory.write(&item, sizeof item);
  SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(memory.at<LVITEMW>()));
}

void RemoteList::doubleClickBelowTheRows() const {
  RECT client{};
  GetClientRect(list_, &client);
  PostMessageW(list_, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(client.right / 4, client.bottom - 5));
  PostMessageW(list_, WM_LBUTTONUP, 0, MAKELPARAM(client.right / 4, client.bottom - 5));
}

}  // namespace win32test
