// The network check's dialog in Win32: shows what pages::NetworkCheckDialog
// does, the report in a read-only box, with copy and close. Windows gets no
// fix to run (its findings say what to do by hand), so none is offered.
#pragma once

#include <windows.h>

#include <functional>

#include "pages/multicast_camera_channel.h"

namespace win32 {

// Runs the dialog modally over `owner`; it searches through `channel` at
// once, or once `channelOpening` no longer holds.
void runNetworkCheckDialog(HINSTANCE instance, HWND owner, pages::MulticastCameraChannel& channel,
                           std::function<bool()> channelOpening);

}  // namespace win32
