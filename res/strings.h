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
// Re-addressing by a site plan: a CSV file mapping each MAC to its address.
inline constexpr const char* kPlanMenuEntry = "按计划修改IP…";
// The installer's next step on site: the camera's own web page.
inline constexpr const char* kOpenWebPageMenuEntry = "打开网页";
inline constexpr const char* kExportCaption = "导出列表";
inline constexpr const char* kExportFileName = "摄像机列表.csv";
inline constexpr const char* kCsvFilter = "CSV 文件 (*.csv)";
// The save dialog's type of a folder, a text Qt's translation lacks.
inline constexpr const char* kFolderType = "文件夹";
// The batch dialog's preview: MAC, current address, new address, and what
// the link said of the new address.
inline constexpr std::array<const char*, 4> kBatchColumns{"摄像机MAC", "当前IP", "新IP", "检查"};
inline constexpr const char* kAddressChecking = "检查中…";
inline constexpr const char* kAddressFree = "空闲";
inline constexpr const char* kAddressUnverified = "无法检查";
// An address the link said was taken, passed over for the next.
inline std::string addressPassedOver(const std::string& address, const std::string& mac) {
  return "已跳过 " + address + "（被 " + mac + " 使用）";
}

inline std::string exportFailed(const std::string& path) { return "无法写入文件 " + path + " ！"; }
// The same, when a file of that name was there before: it is left as it was.
inline std::string exportFailedKeptOld(const std::string& path) {
  return exportFailed(path) + "\r\n原有的文件没有改动。";
}

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
// After a batch: the cameras that took their new address and answer there.
inline std::string batchReached(std::size_t count) {
  return "已确认 " + std::to_string(count) + " 台摄像机在新IP上可以访问。";
}
// They took it, but the PC does not reach them there (a gateway or mask it
// cannot use, or an address outside its subnets).
inline std::string batchNotReached(const std::string& macs) {
  return "以下摄像机已改为新IP，但从本机访问不到：\r\n" + macs + "请检查网关和子网掩码是否适合本机的网络。";
}
// Cameras that answered with their old address: they refused the change, so
// sending again would fail the same way.
inline std::string batchRefused(const std::string& macs) {
  return "以下摄像机有应答，但保留了原来的IP（没有接受修改）：\r\n" + macs +
         "\r\n请检查新IP和网关是否适合这些摄像机。";
}
// After the first few cameras of a long list.
inline std::string andMoreCameras(std::size_t count) { return "……另有 " + std::to_string(count) + " 台\r\n"; }
inline constexpr const char* kBatchRunning = "上一批IP修改还没有完成，请等它结束后再开始新的一批。";
inline std::string batchGatewayNotAHost(const std::string& gateway) {
  return "网关 " + gateway + " 是网段的网络地址或广播地址，不能用作网关！\r\n请换一个网关。";
}

// Apply's warning before its confirmation.
inline std::string addressListed(const std::string& address, const std::string& mac) {
  return "IP " + address + " 已被列表中的摄像机 " + mac + " 使用！\r\n仍然继续吗？";
}
inline std::string addressOfThisPc(const std::string& address) {
  return "IP " + address + " 是本机的地址！\r\n仍然继续吗？";
}
// The link answered for the address: a host there has it, at `mac`.
inline std::string addressAnsweredOnTheLink(const std::string& address, const std::string& mac) {
  return "IP " + address + " 已被网络上的设备（MAC " + mac + "）使用！\r\n仍然继续吗？";
}
inline std::string addressAnsweredByCamera(const std::string& address, const std::string& mac,
                                           const std::string& camera) {
  return "IP " + address + " 已被列表中的摄像机 " + camera + "（MAC " + mac + "）使用！\r\n仍然继续吗？";
}
inline std::string addressOfGateway(const std::string& address) {
  return "IP " + address + " 是网关的地址！\r\n仍然继续吗？";
}
// No host can have it (0.x, 127.x, multicast, 240 and above): a camera told
// to take it could no longer be reached.
inline std::string notAHostAddress(const std::string& address) {
  return "IP " + address + " 不是可以分配给设备的地址，摄像机改成它以后将无法访问！\r\n请换一个IP。";
}
inline std::string notAHostGateway(const std::string& gateway) {
  return "网关 " + gateway + " 不是可以分配给设备的地址！\r\n请换一个网关。";
}

// The calculator's complaint about its `item`-th input (1 to 4).
inline std::string invalidInput(int item) {
  char text[96];
  std::snprintf(text, sizeof text, "第 %d 项的数据非法，不是数字 ,仔细检查！", item);
  return text;
}


// A site plan's problems, as its preview names them (`line`: the file's line,
// the header being line 1), and its required columns as they are named there.
inline constexpr std::array<const char*, 3> kPlanColumnNames{"MAC", "IP地址", "网关"};
inline std::string planCannotOpen(const std::string& path) { return "无法打开文件 " + path + " ！"; }
inline constexpr const char* kPlanNotText = "文件不是文本文件，请另存为 CSV（UTF-8 或 GBK）！";
inline constexpr const char* kPlanEmpty = "文件中没有任何摄像机！";
inline std::string planTooLarge(std::size_t megabytes) {
  return "文件太大，超过 " + std::to_string(megabytes) + " MB！";
}
inline std::string planTooManyRows(std::size_t rows) {
  return "文件超过 " + std::to_string(rows) + " 行，后面的行没有读取！";
}
inline std::string planMissingColumn(const std::string& column) { return "缺少“" + column + "”列！"; }
inline std::string planFieldCount(std::size_t line, std::size_t expected, std::size_t found) {
  return "第 " + std::to_string(line) + " 行：应有 " + std::to_string(expected) + " 项，实有 " +
         std::to_string(found) + " 项！";
}
inline std::string planUnclosedQuote(std::size_t line) {
  return "第 " + std::to_string(line) + " 行：引号没有结束！";
}
inline std::string planEmptyMac(std::size_t line) { return "第 " + std::to_string(line) + " 行：MAC 是空的！"; }
inline std::string planBadAddress(std::size_t line, const std::string& column, const std::string& text) {
  return "第 " + std::to_string(line) + " 行：" + column + "“" + text + "”不是有效的地址！";
}
inline std::string planNotHostAddress(std::size_t line, const std::string& column, const std::string& address) {
  return "第 " + std::to_string(line) + " 行：" + column + " " + address + " 不能用作摄像机的地址！";
}
inline std::string planDuplicateMac(std::size_t line, const std::string& mac, std::size_t firstLine) {
  return "第 " + std::to_string(line) + " 行：MAC " + mac + " 与第 " + std::to_string(firstLine) + " 行重复！";
}
inline std::string planDuplicateAddress(std::size_t line, const std::string& address, std::size_t firstLine) {
  return "第 " + std::to_string(line) + " 行：IP " + address + " 与第 " + std::to_string(firstLine) + " 行重复！";
}
// A note, not an error: the subnet's mask is not known.
inline std::string planGatewayElsewhere(std::size_t line, const std::string& gateway, const std::string& address) {
  return "第 " + std::to_string(line) + " 行：注意，网关 " + gateway + " 与 IP " + address +
         " 不在同一个 /24 网段。";
}

// The site plan's preview: each plan row's MAC, the listed camera's address
// now, its planned address and gateway, what the link said of the planned
// address, and the row's problems.
inline constexpr const char* kPlanCaption = "按计划修改IP";
inline constexpr const char* kPlanFileCaption = "打开规划表";
inline constexpr const char* kPlanPreviewLabel = "规划表中的摄像机：";
inline constexpr std::array<const char*, 6> kPlanColumns{"摄像机MAC", "当前IP", "新IP", "新网关", "检查", "问题"};
inline constexpr const char* kNotListed = "未列出";
inline std::string addressInUseBy(const std::string& mac) { return "被 " + mac + " 使用"; }
inline constexpr const char* kAddressOfThisPc = "本机的地址";
// Found while the plan is previewed; those without "注意" keep it from being sent.
inline std::string planAddressTakenOnTheLink(std::size_t line, const std::string& address, const std::string& mac) {
  return "第 " + std::to_string(line) + " 行：IP " + address + " 已被网络上的设备（MAC " + mac + "）使用！";
}
inline std::string planAddressOfThisPc(std::size_t line, const std::string& address) {
  return "第 " + std::to_string(line) + " 行：IP " + address + " 是本机的地址！";
}
inline std::string planAddressListed(std::size_t line, const std::string& address, const std::string& mac) {
  return "第 " + std::to_string(line) + " 行：IP " + address + " 已被列表中的摄像机 " + mac + " 使用，规划表没有改动它！";
}
// The camera that has the address now is moved elsewhere by the same plan.
inline std::string planAddressFreedByPlan(std::size_t line, const std::string& address, const std::string& mac,
                                          const std::string& itsNewAddress) {
  return "第 " + std::to_string(line) + " 行：注意，IP " + address + " 现由摄像机 " + mac + " 使用，它将按计划改为 " +
         itsNewAddress + "。";
}
// Under the preview: why OK cannot be pressed, or what it will do.
inline constexpr const char* kPlanNotSendable = "规划表有问题（见“问题”列），修改规划表后再打开。";
inline constexpr const char* kPlanNoneListed = "规划表中的摄像机都不在列表中，请先搜索摄像机。";
inline std::string planListed(std::size_t listed, std::size_t rows) {
  return "规划表共 " + std::to_string(rows) + " 台摄像机，其中 " + std::to_string(listed) +
         " 台在列表中，将按计划修改；不在列表中的不会修改。";
}
inline std::string planConfirm(std::size_t count) {
  return "将按计划修改 " + std::to_string(count) + " 台摄像机的IP和网关。\r\n确定修改吗？";
}

// The terminal program's messages, in English and in Chinese: it picks one
// set by the locale (cli/language.h). Usage problems are printed as
// "tovalen-cli: PROBLEM: ARGUMENT".
struct TerminalTexts {
  const char* help;
  const char* seeHelp;
  const char* noCommand;
  const char* unknownCommand;
  const char* unknownOption;
  const char* optionNotForCommand;
  const char* missingValue;
  const char* badWait;
  const char* badFormat;
  const char* missingArgument;
  const char* extraArgument;
  const char* badAddress;
  const char* notHostAddress;
  const char* emptyMac;
  // Asking before going on after a warning.
  const char* confirmPrompt;
  const char* confirmedByOption;
  const char* noTerminal;
  const char* declined;
  // The search's table: MAC, IP, gateway, adapter.
  std::array<const char*, 4> listingHeaders;
  // Followed by the system's reason.
  const char* cannotOpenNetwork;
  // Before the seconds left, while answers are awaited.
  const char* waiting;
  // A camera's answer to its new address, after its MAC.
  const char* notHeard;
  const char* noAnswer;
  const char* keptAddress;
  const char* moved;
  const char* reachedThere;
  const char* notReachedThere;
  // check: after the address.
  const char* inUseBy;  // followed by the MAC, or by thisComputer
  const char* thisComputer;
  const char* free;
  const char* cannotVerify;  // followed by the reason
  const char* notChecked;
  // plan
  const char* planNotSendable;
  const char* notListed;
  const char* planHeard;  // followed by how many
  const char* planConfirm;
  const char* planNoneListed;
};

inline constexpr TerminalTexts kTerminalEnglish{
    "Usage: tovalen-cli COMMAND [OPTION]...\n"
    "Find network video cameras and change their IP address across subnets,\n"
    "by multicast through every network adapter of this computer.\n"
    "\n"
    "Commands:\n"
    "  search [--wait SECONDS] [--format table|csv|json]\n"
    "      List the cameras that answer a search within SECONDS (default 3, at\n"
    "      most 600): as a table, as the window's CSV export, or as JSON.\n"
    "  set MAC IP GATEWAY [--yes] [--wait SECONDS]\n"
    "      Give the camera with this MAC the address IP and the gateway GATEWAY,\n"
    "      with the window's warnings and confirmation, and await its answer\n"
    "      (default 5 seconds); then tell whether it answers at IP.\n"
    "  plan FILE [--dry-run] [--yes] [--wait SECONDS]\n"
    "      Give every camera of a site plan its address and gateway. FILE is a\n"
    "      CSV file with the columns MAC, IP and gateway, headed in English or\n"
    "      Chinese in any order, in UTF-8 or GBK, separated by commas,\n"
    "      semicolons or tabs; the window's export with its addresses edited is\n"
    "      one. Its problems are listed first, and nothing is sent while one\n"
    "      remains that prevents it. --dry-run lists, for each camera of the\n"
    "      plan, its address now and its planned one, and sends nothing; else,\n"
    "      once confirmed, each camera heard gets its address, and whether it\n"
    "      moved, kept its address or did not answer is told.\n"
    "  check IP...\n"
    "      Tell for each address whether it is in use (and by which MAC, or by\n"
    "      this computer), free, or cannot be verified, and why.\n"
    "  adapters\n"
    "      The network check: every adapter, what the search heard through it,\n"
    "      and each problem found with what to do.\n"
    "\n"
    "Options:\n"
    "  --wait SECONDS   how long search listens (default 3), or set and plan\n"
    "                   await the cameras' answers (default 5); 1 to 600\n"
    "  --format FORMAT  table (the default), csv or json\n"
    "  -y, --yes        go on after a warning without asking\n"
    "  -n, --dry-run    check the plan and send nothing\n"
    "  -h, --help       show this help and exit\n"
    "\n"
    "After a warning (an address already taken, a note in the plan) the program\n"
    "asks on the terminal whether to go on (y/N). When standard input is not a\n"
    "terminal it does not guess: it stops, unless --yes was given.\n"
    "\n"
    "Messages are in Chinese when LC_ALL, LC_MESSAGES or LANG (the first that is\n"
    "set) begins with \"zh\", and in English otherwise.\n"
    "\n"
    "Exit status: 0 done; 1 the work failed (a camera not heard, not moved, an\n"
    "address not checked) or was not confirmed; 2 bad usage or bad input.\n",
    "Try 'tovalen-cli --help'.",
    "no command given",
    "unknown command",
    "unknown option",
    "option not used by this command",
    "option needs a value",
    "not a number of seconds from 1 to 600",
    "not one of table, csv, json",
    "argument missing",
    "extra argument",
    "not an IPv4 address",
    "not an address a camera can have",
    "empty MAC",
    "Go on? [y/N] ",
    "Going on, as --yes was given.",
    "Not going on: standard input is not a terminal to ask on. Give --yes to go on after this warning.",
    "Not going on.",
    {"MAC", "IP", "Gateway", "Adapter"},
    "cannot open the network",
    "Waiting for answers:",
    "no camera with this MAC answered the search",
    "no answer",
    "answered but kept its address",
    "moved",
    "it answers there with its MAC",
    "it does not answer there with its MAC yet",
    "in use by",
    "this computer",
    "free",
    "cannot be verified",
    "not checked in time",
    "the plan cannot be sent as it is",
    "not listed",
    "Cameras of the plan that answered the search",
    "Send each of them its planned address and gateway?",
    "none of the plan's cameras answered the search",
};

inline constexpr TerminalTexts kTerminalChinese{
    "用法：tovalen-cli 命令 [选项]...\n"
    "查找网络摄像机，跨网段修改其IP地址；经本机每个网卡以组播收发。\n"
    "\n"
    "命令：\n"
    "  search [--wait 秒数] [--format table|csv|json]\n"
    "      列出在“秒数”内（默认 3 秒，最多 600 秒）应答搜索的摄像机：\n"
    "      表格、与窗口“导出列表”相同的 CSV，或 JSON。\n"
    "  set MAC IP 网关 [--yes] [--wait 秒数]\n"
    "      把该 MAC 的摄像机改为地址 IP、网关“网关”，警告与确认同窗口；\n"
    "      等待其应答（默认 5 秒），再说明它是否在 IP 上应答。\n"
    "  plan 文件 [--dry-run] [--yes] [--wait 秒数]\n"
    "      按规划表修改每台摄像机的IP和网关。“文件”是 CSV 文件，含 MAC、IP、\n"
    "      网关三列（中文或英文表头，顺序不限），UTF-8 或 GBK 编码，以逗号、\n"
    "      分号或制表符分隔；窗口导出的列表改好IP后即可使用。先列出全部问题，\n"
    "      仍有阻止发送的问题时不发送任何内容。--dry-run 列出规划表中每台\n"
    "      摄像机的现有地址和规划地址，不发送；否则确认后向搜索到的每台发送，\n"
    "      并说明其已改址、保留原地址或没有应答。\n"
    "  check IP...\n"
    "      逐个说明地址是否已被使用（被哪个 MAC 或本机）、未被使用，\n"
    "      或无法核实及其原因。\n"
    "  adapters\n"
    "      网络检查：每个网卡、经它搜索听到的应答，以及发现的问题和处理方法。\n"
    "\n"
    "选项：\n"
    "  --wait 秒数      search 等待应答的时间（默认 3 秒），或 set、plan 等待\n"
    "                   摄像机应答的时间（默认 5 秒）；1 到 600\n"
    "  --format 格式    table（默认）、csv 或 json\n"
    "  -y, --yes        出现警告时不询问，直接继续\n"
    "  -n, --dry-run    只检查规划表，不发送\n"
    "  -h, --help       显示本帮助并退出\n"
    "\n"
    "出现警告（地址已被使用、规划表中的提示）时，程序在终端上询问是否继续\n"
    "（y/N）。标准输入不是终端时不作猜测：除非给出 --yes，否则停止。\n"
    "\n"
    "LC_ALL、LC_MESSAGES 或 LANG（取第一个已设置的）以“zh”开头时提示为中文，\n"
    "否则为英文。\n"
    "\n"
    "退出状态：0 完成；1 操作失败（未搜索到、未改址、地址未能检查）或未确认；\n"
    "2 用法或输入错误。\n",
    "请运行 'tovalen-cli --help' 查看用法。",
    "没有给出命令",
    "未知的命令",
    "未知的选项",
    "该命令不使用此选项",
    "选项缺少取值",
    "不是 1 到 600 之间的秒数",
    "不是 table、csv、json 之一",
    "缺少参数",
    "多余的参数",
    "不是有效的IPv4地址",
    "不能用作摄像机的地址",
    "MAC 是空的",
    "继续吗？[y/N] ",
    "已给出 --yes，继续。",
    "不继续：标准输入不是终端，无法询问。要在此警告后继续，请给出 --yes。",
    "不继续。",
    {"摄像机MAC", "IP地址", "网关", "网卡"},
    "无法打开网络",
    "正在等待应答：",
    "没有该 MAC 的摄像机应答搜索",
    "没有应答",
    "已应答，但保留了原地址",
    "已改址",
    "在新地址上以其 MAC 应答",
    "在新地址上尚未以其 MAC 应答",
    "已被使用：",
    "本机",
    "未被使用",
    "无法核实",
    "未能及时检查",
    "规划表不能按现状发送",
    "不在列表中",
    "应答了搜索的规划表中的摄像机",
    "是否向每台发送规划的地址和网关？",
    "规划表中没有摄像机应答搜索",
};
// The network check (pages/network_check.h): one line per adapter, then one
// per problem found, each saying what to do.
namespace network {

inline constexpr const char* kMenuEntry = "网络检查…";
inline constexpr const char* kCaption = "网络检查";
inline constexpr const char* kAdaptersHeading = "网卡：";
inline constexpr const char* kProblemsHeading = "发现的问题：";
inline constexpr const char* kNoProblem = "未发现问题。";
inline constexpr const char* kReportLabel = "检查结果：";
inline constexpr const char* kChecking = "正在检查，请稍候…";
inline constexpr const char* kAdaptersOpening = "正在打开各网卡，打开后即开始检查，请稍候…";
inline constexpr const char* kCopyButton = "复制报告";
inline constexpr const char* kFixButton = "修复…";

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
  return "将以管理员身份运行：\r\n" + command + "\r\n此设置在下次重启前有效。然后重新搜索。继续吗？";
}
inline std::string fixFailed(const std::string& command) {
  return "命令没有成功（可能取消了管理员身份验证）：\r\n" + command;
}

}  // namespace network

}  // namespace ui::strings
