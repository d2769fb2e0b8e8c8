// The pages' prompter in Win32: message boxes over the owner's window, the
// common file dialogs and the clipboard.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>

#include "pages/prompter.h"
#include "win32/dialog.h"

namespace win32 {

class Prompter : public pages::Prompter {
 public:
  // With no owner (before any window exists), the boxes stand alone.
  explicit Prompter(const Dialog* owner) : owner_(owner) {}

  void tell(const pages::Prompt& prompt) override;
  bool ask(const pages::Prompt& prompt) override;
  std::optional<std::string> chooseFileToSave(const pages::FileChoice& choice) override;
  std::optional<std::string> chooseFileToOpen(const pages::FileChoice& choice) override;
  void copyToClipboard(const std::string& text) override;
  void openInBrowser(const std::string& url) override;

 private:
  HWND ownerWindow() const { return owner_ ? owner_->window() : nullptr; }
  // The common file dialog `run` (GetSaveFileNameW or GetOpenFileNameW),
  // starting at `path`.
  std::optional<std::string> chooseFile(const pages::FileChoice& choice, std::wstring path, DWORD flags,
                                        BOOL(WINAPI* run)(OPENFILENAMEW*)) const;

  const Dialog* owner_;
};

}  // namespace win32
