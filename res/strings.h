// The program's texts, written once for every front-end, in UTF-8. They are
// kept exactly, byte for byte: installers' notes and screenshots refer to
// them, stray parenthesis and spaces included.
#pragma once

#include <array>
#include <cstddef>
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

// The camera list's own menu, and what it leads to.
inline constexpr const char* kCopyMenuEntry = "复制";
inline constexpr const char* kSelectAllMenuEntry = "全选";
inline constexpr const char* kExportMenuEntry = "导出列表…";
inline constexpr const char* kBatchMenuEntry = "批量修改IP…";
inline constexpr const char* kExportCaption = "导出列表";
inline constexpr const char* kExportFileName = "摄像机列表.csv";
inline constexpr const char* kCsvFilter = "CSV 文件 (*.csv)";
// The save dialog's type of a folder, a text Qt's translation lacks.
inline constexpr const char* kFolderType = "文件夹";
// The batch dialog's preview: MAC, current address, new address.
inline constexpr std::array<const char*, 3> kBatchColumns{"摄像机MAC", "当前IP", "新IP"};

inline std::string exportFailed(const std::string& path) { return "无法写入文件 " + path + " ！"; }

inline std::string batchRanOut(const std::string& start, std::size_t count) {
  return "从 " + start + " 开始，到 .254 为止的空闲地址不够 " + std::to_string(count) +
         " 台摄像机使用！\r\n请换一个起始IP。";
}

inline std::string batchConfirm(std::size_t count, const std::string& first, const std::string& last) {
  return "将修改 " + std::to_string(count) + " 台摄像机的IP：\r\n" + first + " 至 " + last + "\r\n确定修改吗？";
}

// `macs`: one camera a line.
inline std::string batchUnanswered(const std::string& macs) {
  return "以下摄像机没有应答：\r\n" + macs + "\r\n再发送一次吗？";
}

// Apply's warning before its confirmation.
inline std::string addressListed(const std::string& address, const std::string& mac) {
  return "IP " + address + " 已被列表中的摄像机 " + mac + " 使用！\r\n仍然继续吗？";
}
inline std::string addressOfThisPc(const std::string& address) {
  return "IP " + address + " 是本机的地址！\r\n仍然继续吗？";
}

// The calculator's complaint about its `item`-th input (1 to 4).
inline std::string invalidInput(int item) {
  char text[96];
  std::snprintf(text, sizeof text, "第 %d 项的数据非法，不是数字 ,仔细检查！", item);
  return text;
}

}  // namespace ui::strings
