#include "res/dialog_templates.h"

#include "res/resource_ids.h"
#include "res/strings.h"

namespace ui {

using enum ControlKind;

const DialogTemplate& aboutTemplate() {
  using namespace ids::about_box;
  static const DialogTemplate about{
      "关于 Tovalen", 235, 55, 9,
      {
          // The platform sizes an icon control to the icon; hence no size here.
          {Icon, "", {11, 17, 0, 0}},
          {Static, "Tovalen Version 1.0", {40, 10, 119, 8}},
          {Static, strings::kProgramDescription, {40, 25, 119, 8}},
          {kOk, "确定", {178, 7, 50, 16}, Default},
      },
      {kOk.value}};
  return about;
}

const DialogTemplate& mainWindowTemplate() {
  using namespace ids::main_window;
  static const DialogTemplate mainWindow{
      "Tovalen", 521, 327, 9,
      {
          {kClose, "关闭", {474, 304, 40, 16}, Default},
          // Moved and resized when the main window opens (res/tab_layout.h).
          {kTabs, "", {8, 9, 506, 283}, NoTabStop},
      },
      {kClose.value}};
  return mainWindow;
}

const DialogTemplate& cameraPageTemplate() {
  using namespace ids::camera_page;
  static const DialogTemplate cameraPage{
      "", 554, 290, 8,
      {
          {kHiddenOk, "确定", {7, 269, 17, 14}, Default | Hidden},
          {kSearch, "搜索摄像机", {8, 7, 57, 14}},
          {kCameraList, "", {7, 27, 358, 243}},
          {Static, "当前选中的摄像机", {376, 58, 65, 8}},
          {GroupBox, "", {372, 67, 171, 64}},
          {Static, "MAC", {400, 78, 16, 8}},
          {kMac, "", {428, 75, 107, 14}, ReadOnly},
          {Static, "IP", {399, 97, 8, 8}},
          {kIp, "", {428, 93, 107, 14}, ReadOnly},
          {Static, "网关", {400, 114, 17, 8}},
          {kGateway, "", {428, 109, 107, 14}, ReadOnly},
          {Static, "修改为这个IP", {376, 147, 48, 8}},
          {kNewAddress, "", {427, 143, 108, 15}},
          {Static, "修改为这个网关", {369, 168, 57, 8}},
          {kNewGateway, "", {427, 164, 108, 15}},
          {kApply, "确定修改该摄像机", {443, 185, 84, 19}},
          {Static, "【注意：修改IP的时候，IP不能重复！可以用ping命令测试该IP是否被占用！】", {379, 218, 153, 22}, WordWrap},
      },
      {kSearch.value, kCameraList.value, kMac.value, kIp.value, kGateway.value, kNewAddress.value, kNewGateway.value,
       kApply.value}};
  return cameraPage;
}

const DialogTemplate& calcPageTemplate() {
  using namespace ids::calc_page;
  static const DialogTemplate calcPage{
      "", 513, 246, 8,
      {
          {kHiddenOk, "确定", {7, 225, 18, 14}, Default | Hidden},
          {GroupBox, "计算方式一", {7, 7, 499, 126}},
          {Static, "每路大视频码流大小", {10, 18, 73, 8}},
          {kBitRate, "", {95, 16, 56, 12}},
          {Static, "kbps", {155, 18, 16, 8}},
          {Static, "共有", {66, 36, 17, 8}},
          {kCameras, "", {95, 32, 56, 12}},
          {Static, "路摄像机", {155, 34, 33, 8}},
          {Static, "每天录", {58, 55, 25, 8}},
          {kHoursPerDay, "", {95, 54, 56, 12}},
          {Static, "小时", {157, 54, 17, 8}},
          {Static, "需要存储录像", {34, 76, 49, 8}},
          {kDays, "", {95, 73, 56, 12}},
          {Static, "天", {158, 75, 9, 8}},
          {kCalculate, "计算需要硬盘大小", {11, 95, 80, 14}},
          {kGigabytes, "", {95, 96, 60, 14}, ReadOnly},
          {Static, "G", {161, 98, 8, 8}},
          {Static, "注：市场上 1T 的硬盘就是1000G，同理2T的硬盘是2000G", {75, 118, 198, 8}},
          {Static, "（ 约等于 ", {177, 97, 37, 8}},
          {kTerabytes, "", {215, 95, 40, 14}, ReadOnly},
          {Static, "T ）", {260, 97, 15, 8}},
      },
      {kBitRate.value, kCameras.value, kHoursPerDay.value, kDays.value, kCalculate.value, kGigabytes.value,
       kTerabytes.value}};
  return calcPage;
}

const DialogTemplate& batchTemplate() {
  using namespace ids::batch_dialog;
  static const DialogTemplate batch{
      "批量修改IP", 300, 211, 9,
      {
          {Static, "起始IP", {7, 10, 40, 8}},
          {kStart, "", {50, 7, 108, 15}},
          {Static, "网关", {7, 30, 40, 8}},
          {kGateway, "", {50, 27, 108, 15}},
          {kPreview, "", {7, 50, 286, 130}},
          {kOk, "确定", {186, 188, 50, 16}, Default},
          {kCancel, "取消", {243, 188, 50, 16}},
      },
      {kStart.value, kGateway.value, kPreview.value, kOk.value, kCancel.value}};
  return batch;
}

const DialogTemplate& networkCheckTemplate() {
  using namespace ids::network_check_dialog;
  namespace text = strings::network;
  static const DialogTemplate networkCheck{
      text::kCaption, 400, 250, 9,
      {
          // Created just before the box it names, as screen readers take it.
          {Static, text::kReportLabel, {7, 7, 120, 8}},
          {kReport, "", {7, 18, 386, 202}},
          {kCopy, text::kCopyButton, {7, 227, 60, 16}},
          {kFix, text::kFixButton, {74, 227, 60, 16}},
          {kClose, "关闭", {343, 227, 50, 16}, Default},
      },
      {kReport.value, kCopy.value, kFix.value, kClose.value}};
  return networkCheck;
}

const DialogTemplate& planTemplate() {
  using namespace ids::plan_dialog;
  static const DialogTemplate plan{
      strings::kPlanCaption, 420, 240, 9,
      {
          // Created just before the list it names, as screen readers take it.
          {Static, strings::kPlanPreviewLabel, {7, 7, 200, 8}},
          {kPreview, "", {7, 18, 406, 170}},
          {kSummary, "", {7, 193, 406, 18}, WordWrap},
          {kOk, "确定", {306, 217, 50, 16}, Default},
          {kCancel, "取消", {363, 217, 50, 16}},
      },
      {kPreview.value, kOk.value, kCancel.value}};
  return plan;
}

}  // namespace ui
