// Windows: the entry goes into the real system menu, and its command comes
// back as WM_SYSCOMMAND, which a native event filter routes to the handler.
#include <windows.h>

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QString>
#include <QWidget>

#include "ui/system_menu.h"

namespace ui {
namespace {

constexpr UINT kAboutCommand = 0x0010;

class AboutCommandFilter : public QAbstractNativeEventFilter {
 public:
  AboutCommandFilter(HWND window, std::function<void()> openAbout) : window_(window), openAbout_(std::move(openAbout)) {}

  bool nativeEventFilter(const QByteArray&, void* message, qintptr*) override {
    const auto* msg = static_cast<const MSG*>(message);
    // The low four bits of a system command are the system's own flags.
    if (msg->hwnd != window_ || msg->message != WM_SYSCOMMAND || (LOWORD(msg->wParam) & 0xFFF0) != kAboutCommand)
      return false;
    openAbout_();
    return true;
  }

 private:
  HWND window_;
  std::function<void()> openAbout_;
};

}  // namespace

void addAboutEntry(QWidget* window, const QString& text, std::function<void()> openAbout) {
  const auto handle = reinterpret_cast<HWND>(window->winId());
  HMENU systemMenu = GetSystemMenu(handle, FALSE);
  if (!systemMenu || text.isEmpty()) return;
  AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(systemMenu, MF_STRING, kAboutCommand, reinterpret_cast<LPCWSTR>(text.utf16()));
  auto* filter = new AboutCommandFilter(handle, std::move(openAbout));
  QCoreApplication::instance()->installNativeEventFilter(filter);
  QObject::connect(window, &QObject::destroyed, [filter] {
    QCoreApplication::instance()->removeNativeEventFilter(filter);
    delete filter;
  });
}

}  // namespace ui
