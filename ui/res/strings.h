// The program's string table.
#pragma once

namespace ui::strings {

inline constexpr const char* kAboutMenuEntry = "关于 Tovalen(&A)...";  // string 101
inline constexpr const char* kCameraTab = "  跨网段修改摄像机IP ";
inline constexpr const char* kCalculatorTab = "  计算所需硬盘大小 ";

}  // namespace ui::strings
