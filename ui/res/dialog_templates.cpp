#include "ui/res/dialog_templates.h"

namespace ui {

namespace {

using enum ControlKind;
constexpr int kUnnamed = kUnnamedControl;

}  // namespace

const DialogTemplate& aboutTemplate() {
  static const DialogTemplate about{
      100, "关于 Tovalen", 235, 55, 9,
      {
          // The platform sizes an icon control to the icon; hence no size here.
          {kUnnamed, Icon, "", {11, 17, 0, 0}, Plain},
          {kUnnamed, Static, "Tovalen Version 1.0", {40, 10, 119, 8}, Plain},
          {kUnnamed, Static, "摄像机跨网段修改IP与硬盘计算工具", {40, 25, 119, 8}, Plain},
          {1, PushButton, "确定", {178, 7, 50, 16}, Default},
      },
      {1}};
  return about;
}

const DialogTemplate& mainWindowTemplate() {
  static const DialogTemplate mainWindow{
      102, "Tovalen", 521, 327, 9,
      {
          {1, PushButton, "关闭", {474, 304, 40, 16}, Default},
          // Moved and resized when the main window opens (tab_layout.h).
          {1000, TabControl, "", {8, 9, 506, 283}, NoTabStop},
      },
      {1}};
  return mainWindow;
}

const DialogTemplate& cameraPageTemplate() {
  static const DialogTemplate cameraPage{
      129, "", 554, 290, 8,
      {
          {1, PushButton, "确定", {7, 269, 17, 14}, Default | Hidden},
          {1018, PushButton, "搜索摄像机", {8, 7, 57, 14}, Plain},
          {1009, ListView, "", {7, 27, 358, 243}, Plain},
          {kUnnamed, Static, "当前选中的摄像机", {376, 58, 65, 8}, Plain},
          {kUnnamed, GroupBox, "", {372, 67, 171, 64}, Plain},
          {kUnnamed, Static, "MAC", {400, 78, 16, 8}, Plain},
          {1001, Edit, "", {428, 75, 107, 14}, ReadOnly},
          {kUnnamed, Static, "IP", {399, 97, 8, 8}, Plain},
          {1002, Edit, "", {428, 93, 107, 14}, ReadOnly},
          {kUnnamed, Static, "网关", {400, 114, 17, 8}, Plain},
          {1003, Edit, "", {428, 109, 107, 14}, ReadOnly},
          {kUnnamed, Static, "修改为这个IP", {376, 147, 48, 8}, Plain},
          {1050, IpAddress, "", {427, 143, 108, 15}, Plain},
          {kUnnamed, Static, "修改为这个网关", {369, 168, 57, 8}, Plain},
          {1051, IpAddress, "", {427, 164, 108, 15}, Plain},
          {1019, PushButton, "确定修改该摄像机", {443, 185, 84, 19}, Plain},
          {kUnnamed, Static, "【注意：修改IP的时候，IP不能重复！可以用ping命令测试该IP是否被占用！】",
           {379, 218, 153, 22}, WordWrap},
      },
      {1018, 1009, 1001, 1002, 1003, 1050, 1051, 1019}};
  return cameraPage;
}

const DialogTemplate& calcPageTemplate() {
  static const DialogTemplate calcPage{
      235, "", 513, 246, 8,
      {
          {1, PushButton, "确定", {7, 225, 18, 14}, Default | Hidden},
          {kUnnamed, GroupBox, "计算方式一", {7, 7, 499, 126}, Plain},
          {kUnnamed, Static, "每路大视频码流大小", {10, 18, 73, 8}, Plain},
          {1001, Edit, "", {95, 16, 56, 12}, Plain},
          {kUnnamed, Static, "kbps", {155, 18, 16, 8}, Plain},
          {kUnnamed, Static, "共有", {66, 36, 17, 8}, Plain},
          {1002, Edit, "", {95, 32, 56, 12}, Plain},
          {kUnnamed, Static, "路摄像机", {155, 34, 33, 8}, Plain},
          {kUnnamed, Static, "每天录", {58, 55, 25, 8}, Plain},
          {1003, Edit, "", {95, 54, 56, 12}, Plain},
          {kUnnamed, Static, "小时", {157, 54, 17, 8}, Plain},
          {kUnnamed, Static, "需要存储录像", {34, 76, 49, 8}, Plain},
          {1004, Edit, "", {95, 73, 56, 12}, Plain},
          {kUnnamed, Static, "天", {158, 75, 9, 8}, Plain},
          {1018, PushButton, "计算需要硬盘大小", {11, 95, 80, 14}, Plain},
          {1005, Edit, "", {95, 96, 60, 14}, ReadOnly},
          {kUnnamed, Static, "G", {161, 98, 8, 8}, Plain},
          {kUnnamed, Static, "注：市场上 1T 的硬盘就是1000G，同理2T的硬盘是2000G", {75, 118, 198, 8}, Plain},
          {kUnnamed, Static, "（ 约等于 ", {177, 97, 37, 8}, Plain},
          {1006, Edit, "", {215, 95, 40, 14}, ReadOnly},
          {kUnnamed, Static, "T ）", {260, 97, 15, 8}, Plain},
      },
      {1001, 1002, 1003, 1004, 1018, 1005, 1006}};
  return calcPage;
}

}  // namespace ui
