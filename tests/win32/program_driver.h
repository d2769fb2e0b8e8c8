// Drives the real tovalen.exe from another process through its windows'
// messages: clicks and keys are posted, as the system queues a user's, never
// sent into a modal loop; what the windows show is read back, through a
// buffer in the program's own memory where a message carries a pointer.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace win32test {

using namespace std::chrono_literals;

// Far longer than anything the tests wait for takes.
inline constexpr std::chrono::milliseconds kPatience = 30s;

// A file of the build machine as this test process names it: Wine shows
// them as drive Z:.
std::wstring windowsPath(const std::string& unixPath);
// The tovalen.exe the tests drive.
inline std::wstring programPath() { return windowsPath(TOVALEN_EXECUTABLE); }

// Checks `condition` every few milliseconds until it holds; false when
// `patience` passed first.
bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds patience = kPatience);

// What Windows shows in a file's properties: its fixed file version (major
// and minor in the high word, as MAKELONG(minor, major)) and the texts of
// its first language.
struct FileProperties {
  DWORD versionHigh = 0;
  DWORD versionLow = 0;
  std::wstring description, fileVersion, productName, productVersion, copyright;
};
// Nothing when the file has no version resource.
std::optional<FileProperties> fileProperties(const std::wstring& path);

// A process of the program, ended (if still running) when this goes.
class ProgramProcess {
 public:
  // `arguments` follow the quoted executable on the command line as given.
  explicit ProgramProcess(const std::wstring& executable, const std::wstring& arguments = L"");
  ~ProgramProcess();
  ProgramProcess(const ProgramProcess&) = delete;
  ProgramProcess& operator=(const ProgramProcess&) = delete;

  bool started() const { return info_.hProcess != nullptr; }
  DWORD id() const { return info_.dwProcessId; }
  HANDLE handle() const { return info_.hProcess; }
  // Its exit status, once it has ended within `patience`.
  std::optional<DWORD> exitCode(std::chrono::milliseconds patience = kPatience) const;

 private:
  PROCESS_INFORMATION info_{};
};

std::wstring windowText(HWND window);
std::wstring className(HWND window);

// A top-level dialog window of the process with this caption, owned by
// `owner` when one is given; null when there is none.
HWND findDialog(DWORD processId, const std::wstring& caption, HWND owner = nullptr);
// The texts of a dialog's static text controls that have one, in their order.
std::vector<std::wstring> staticTexts(HWND dialog);

// As a mouse click on a button.
void click(HWND button);
// A key pressed and let go on the window with the keyboard focus in the
// window's thread (or on `window` when none has it).
void pressKey(HWND window, WORD key);
// A left click at `x`, `y` of the window's client area, as the system queues it.
void clickAt(HWND window, int x, int y);

// An address control's value, the first field most significant; 0 while blank.
DWORD addressValue(HANDLE process, HWND control);

// Where a tab control of another process shows its pages, in screen
// coordinates (TCM_ADJUSTRECT).
RECT tabDisplayArea(HANDLE process, HWND tabs);
// Tells a window of another process that it moved to a monitor of `dpi`, as
// Windows does, suggesting `suggested` (screen coordinates) for it.
void sendDpiChange(HANDLE process, HWND window, int dpi, const RECT& suggested);

// A report-style list view of another process.
class RemoteList {
 public:
  RemoteList(HANDLE process, HWND list) : process_(process), list_(list) {}

  int rowCount() const;
  int columnCount() const;
  std::wstring cell(int row, int column) const;
  // Every row, each with a cell per column.
  std::vector<std::vector<std::wstring>> rows() const;
  void select(int row, bool selected) const;
  // A left double-click in the list's empty space, below its rows.
  void doubleClickBelowTheRows() const;

 private:
  HANDLE process_;
  HWND list_;
};

}  // namespace win32test
