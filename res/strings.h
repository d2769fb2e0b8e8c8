// The program's texts, written once for every front-end, in UTF-8. They are
// kept exactly, byte for byte: installers' notes and screenshots refer to
// them, stray parenthesis and spaces included.
#pragma once

#include <array>
#include <cstdio>
#include <string>

namespace ui::strings {

inline constexpr const char* kAboutMenuEntry = "关于 Tovalen(&A)...";  // ids::kAboutMenuString
// What the program is, in the About box and in tovalen.exe's file properties.
inline constexpr const char* kProgramDescription = "摄像机跨网段修改IP与硬盘计算工具";
// The window menu's own entries, where the toolkit does not draw one (Qt).
inline constexpr const char* kMinimiseMenuEntry = "最小化(&N)";
inline constexpr const char* kCloseMenuEntry = "关闭(&C)";
inline constexpr const char* kCameraTab = "  跨网段修改摄像机IP ";
inline constexpr const char* kCalculatorTab = "  计算所需硬盘大小 ";

// The camera list's columns: MAC, IP address and gateway. The gateway's
// header has always read "网关)", closing parenthesis and all.
inline constexpr std::array<const char*, 3> kCameraColumns{"摄像机MAC", "IP地址", "网关)"};

inline constexpr const char* kNoticeCaption = "提示";
inline constexpr const char* kAlreadyRunning = "该程序已经启动运行! ";
inline constexpr const char* kConfirmChange = "确定IP，网关都填写对了？\r\n修改IP吗？";

// What a screen reader calls the `field`-th number (1 to 4) of an address
// control labelled `label`.
inline std::string addressFieldName(const std::string& label, int field) {
  return label + " 第" + std::to_string(field) + "段";
}

// The calculator's complaint about its `item`-th input (1 to 4).
inline std::string invalidInput(int item) {
  char text[96];
  std::snprintf(text, sizeof text, "第 %d 项的数据非法，不是数字 ,仔细检查！", item);
  return text;
}

}  // namespace ui::strings
