// Stands in for a system program (netsh.exe) in the installer tests' Wine
// prefix: appends its command line, as UTF-8, to the file that
// TOVALEN_STANDIN_LOG names and succeeds, so a test sees what the installer
// asked the system to do.
#include <windows.h>

#include <cstdio>
#include <string>

#include "win32/text.h"

int wmain() {
  wchar_t logPath[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"TOVALEN_STANDIN_LOG", logPath, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 1;
  std::FILE* log = _wfopen(logPath, L"ab");
  if (!log) return 1;
  const std::string line = win32::toUtf8(GetCommandLineW()) + "\n";
  const bool written = std::fwrite(line.data(), 1, line.size(), log) == line.size();
  return std::fclose(log) == 0 && written ? 0 : 1;
}
