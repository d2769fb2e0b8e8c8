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

// The network check (pages/network_check.h): one line per adapter, then one
// per problem found, each saying what to do.
namespace network {

inline constexpr const char* kMenuEntry = "网络检查…";
inline constexpr const char* kCaption = "网络检查";
inline constexpr const char* kAdaptersHeading = "网卡：";
inline constexpr const char* kProblemsHeading = "发现的问题：";
inline constexpr const char* kNoProblem = "未发现问题。";
inline constexpr const char* kCopyButton = "复制报告";
inline constexpr const char* kRunFixButton = "运行此命令";

inline constexpr const char* kUp = "已连接";
inline constexpr const char* kDown = "未连接";
inline constexpr const char* kNoIpv4 = "无IPv4地址";
inline constexpr const char* kJoined = "已加入搜索组播";
inline std::string joinRefused(const std::string& reason) { return "未能加入搜索组播（" + reason + "）"; }
inline std::string noSocket(const std::string& reason) { return "未能打开套接字，未通过它搜索（" + reason + "）"; }
inline constexpr const char* kNotSearched = "未通过它搜索";
inline std::string traffic(unsigned long long searches, unsigned long long answers) {
  return "发送搜索 " + std::to_string(searches) + " 次，收到应答 " + std::to_string(answers) + " 个";
}
inline std::string dropped(unsigned long long datagrams) {
  return "系统丢弃数据报 " + std::to_string(datagrams) + " 个";
}
inline std::string lastAnswer(long long secondsAgo) { return "最后应答于 " + std::to_string(secondsAgo) + " 秒前"; }
inline constexpr const char* kNoAnswerYet = "尚无应答";
inline std::string adapterLine(const std::string& name, const std::string& details) {
  return "网卡 " + name + "：" + details;
}

inline std::string noAddress(const std::string& adapter) {
  return "网卡 " + adapter + " 已连接，但没有IPv4地址，无法通过它搜索摄像机。请为它设置IP地址，或检查DHCP服务器。";
}
inline std::string linkLocalOnly(const std::string& adapter) {
  return "网卡 " + adapter +
         " 只有系统自动分配的地址（169.254.x.x），没有从DHCP服务器获得地址。请为它设置一个固定IP，或检查DHCP服务器。";
}
// `mode`: kStrict or kLoose; `dropping`: what the system counted meanwhile.
inline constexpr const char* kStrict = "严格";
inline constexpr const char* kLoose = "宽松";
inline constexpr const char* kDroppingNow = "系统正在丢弃应答：";
inline constexpr const char* kNoDropSeen = "本次检查中尚未发现丢弃。";
inline std::string droppedByFilter(unsigned long long datagrams) {
  return "本次检查中已丢弃 " + std::to_string(datagrams) + " 个数据报。";
}
inline std::string reversePathFilter(const std::string& adapter, int value, const char* mode, const std::string& dropping,
                                     const std::string& command, bool allToo) {
  return "网卡 " + adapter + " 的反向路径过滤（rp_filter=" + std::to_string(value) + "，" + mode +
         "）会丢弃其他网段摄像机的应答，因为没有经过该网卡回到摄像机的路由。" + dropping +
         "请以管理员身份运行：\r\n    " + command + "\r\n" +
         (allToo ? "（all 的值较大，因此也必须设为 0。）" : "") + "此设置在下次重启前有效。";
}
inline std::string portTakenBy(const std::string& program, long processId) {
  return "搜索端口 5414 已被其他程序 " + program + "（进程 " + std::to_string(processId) +
         "）占用，本程序无法搜索。请关闭该程序，然后重新启动本程序。";
}
inline constexpr const char* kPortTaken =
    "搜索端口 5414 已被其他程序占用（系统未告知是哪个程序），本程序无法搜索。请关闭该程序，然后重新启动本程序。";
inline constexpr const char* kFirewallNoRule =
    "Windows 防火墙中没有允许本程序接收应答的入站规则。请重新安装本程序，或在防火墙中允许 tovalen.exe。";
inline constexpr const char* kFirewallBlocked =
    "Windows 防火墙的入站规则阻止了本程序接收应答。请在 Windows 防火墙中删除或停用该规则，并允许 tovalen.exe。";
inline constexpr const char* kFirewallRuleDisabled = "本程序的防火墙入站规则已被禁用。请在 Windows 防火墙中启用它。";
inline constexpr const char* kFirewallProfileNotCovered =
    "本程序的防火墙入站规则不适用于当前的网络类型（域、专用或公用）。请在 Windows 防火墙中让它适用于当前网络。";
inline constexpr const char* kFirewallCannotTell =
    "无法判断 Windows 防火墙是否允许摄像机的应答（查看需要管理员权限）。如果列表为空，请检查防火墙。";
inline std::string virtualAdapter(const std::string& adapter, const std::string& kind) {
  return "网卡 " + adapter + " 是虚拟网卡（" + kind + "，如容器、虚拟机、VPN或隧道）。也会通过它搜索，但摄像机很少连在这类网卡上。";
}
inline std::string adaptersWithoutSocket(std::size_t count, const std::string& names) {
  return std::to_string(count) + " 个网卡未能打开套接字，没有通过它们搜索（打开的文件已达系统上限）：" + names;
}
inline constexpr const char* kNothingHeard =
    "已发送搜索，但所有网卡都没有收到应答。可能的原因依次是：1. 网线未接好；2. 摄像机未通电；3. 防火墙阻挡了应答；"
    "4. 上面所说的反向路径过滤。";
inline std::string confirmFix(const std::string& command) {
  return "将以管理员身份运行：\r\n" + command + "\r\n然后重新搜索。继续吗？";
}

}  // namespace network

}  // namespace ui::strings
