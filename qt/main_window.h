// The main window: a tab control switching between the camera page and the
// calculator page, a Close button, and the About entry.
#pragma once

#include <QDialog>
#include <QRect>
#include <array>

#include "pages/camera_page.h"
#include "qt/res_names.h"

class QTabWidget;


namespace qtui {

class CalcPage;
class CameraPage;
class MessagePresenter;

class MainWindow : public QDialog {
  Q_OBJECT

 public:
  enum Page { kCameraPage, kCalculatorPage, kPageCount };

  MainWindow(MessagePresenter& messages, pages::HostNetwork& network, QWidget* parent = nullptr);

  // Shows page n at the page rectangle and selects its tab; hides the other.
  void showPage(int n);
  void showAbout();

  CameraPage* cameraPage() const { return cameraPage_; }
  CalcPage* calculatorPage() const { return calculatorPage_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void addTabShortcuts();

  QTabWidget* tabs_;
  QRect pageRect_;
  CameraPage* cameraPage_;
  CalcPage* calculatorPage_;
  std::array<QWidget*, kPageCount> pages_;
};

}  // namespace qtui
