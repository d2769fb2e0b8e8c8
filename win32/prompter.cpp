#include "win32/prompter.h"

#include <commdlg.h>
#include <shellapi.h>

#include "win32/text.h"

namespace win32 {
namespace {

UINT iconStyle(pages::Icon icon) {
  switch (icon) {
    case pages::Icon::Exclamation: return MB_ICONEXCLAMATION;
    case pages::Icon::Question: return MB_ICONQUESTION;
    case pages::Icon::Information: break;
  }
  return MB_ICONINFORMATION;
}

int show(HWND owner, const pages::Prompt& prompt, UINT buttons) {
  return MessageBoxW(owner, fromUtf8(prompt.text).c_str(), fromUtf8(prompt.caption).c_str(),
                     buttons | iconStyle(prompt.icon));
}

}  // namespace

void Prompter::tell(const pages::Prompt& prompt) { show(ownerWindow(), prompt, MB_OK); }

bool Prompter::ask(const pages::Prompt& prompt) { return show(ownerWindow(), prompt, MB_OKCANCEL) == IDOK; }

std::optional<std::string> Prompter::chooseFileToSave(const pages::FileChoice& choice) {
  return chooseFile(choice, fromUtf8(choice.suggestedName), OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST, GetSaveFileNameW);
}

std::optional<std::string> Prompter::chooseFileToOpen(const pages::FileChoice& choice) {
  return chooseFile(choice, L"", OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST, GetOpenFileNameW);
}

std::optional<std::string> Prompter::chooseFile(const pages::FileChoice& choice, std::wstring path, DWORD flags,
                                                BOOL(WINAPI* run)(OPENFILENAMEW*)) const {
  path.resize(MAX_PATH);
  // The filter's parts are separated by NULs, and it ends with two.
  const std::wstring extension = fromUtf8(choice.extension);
  std::wstring filter = fromUtf8(choice.filter);
  filter += L'\0';
  filter += L"*." + extension;
  filter += L'\0';
  const std::wstring caption = fromUtf8(choice.caption);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = ownerWindow();
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.lpstrTitle = caption.c_str();
  dialog.lpstrDefExt = extension.c_str();
  dialog.Flags = flags | OFN_NOCHANGEDIR;
  if (!run(&dialog)) return std::nullopt;
  path.resize(lstrlenW(path.c_str()));
  return toUtf8(path);
}

// As the system's Unicode text.
void Prompter::copyToClipboard(const std::string& text) {
  const std::wstring wide = fromUtf8(text);
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t));
  if (!memory) return;
  if (auto* copy = static_cast<wchar_t*>(GlobalLock(memory))) {
    lstrcpynW(copy, wide.c_str(), static_cast<int>(wide.size() + 1));
    GlobalUnlock(memory);
  }
  if (!OpenClipboard(ownerWindow())) {
    GlobalFree(memory);
    return;
  }
  EmptyClipboard();
  if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);  // once set, the system owns it
  CloseClipboard();
}

void Prompter::openInBrowser(const std::string& url) {
  ShellExecuteW(ownerWindow(), L"open", fromUtf8(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace win32
