// The main window: a tab control switching between the camera page and the
// calculator page, a Close button, and the About entry.
#pragma once

#include <QDialog>
#include <QRect>
#include <array>

class QTabWidget;

namespace discovery {
class HostNetwork;
}

namespace ui {

class CDlgCalcDisk;
class CDlgUpdateIP;
class MessagePresenter;

class CMainDlg : public QDialog {
  Q_OBJECT

 public:
  enum Page { CameraPage, CalculatorPage, PageCount };

  CMainDlg(MessagePresenter& messages, discovery::HostNetwork& network, QWidget* parent = nullptr);

  // Shows page n at the page rectangle and selects its tab; hides the other.
  void showPage(int n);
  void showAbout();

  CDlgUpdateIP* cameraPage() const { return cameraPage_; }
  CDlgCalcDisk* calculatorPage() const { return calculatorPage_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void addTabShortcuts();

  QTabWidget* tabs_;
  QRect pageRect_;
  CDlgUpdateIP* cameraPage_;
  CDlgCalcDisk* calculatorPage_;
  std::array<QWidget*, PageCount> pages_;
};

}  // namespace ui
