// Where no session bus runs, the D-Bus library starts one (dbus-launch and a
// dbus-daemon) the first time Qt looks for it, for the accessibility bridge
// or the desktop's services, and that bus outlives the program. Told that
// there is none, Qt goes without, as it does anyway when a start fails.
#pragma once
#include "qt/res_names.h"

namespace qtui {

// Sets DBUS_SESSION_BUS_ADDRESS to "disabled:", an address no bus has, when
// it names none and $XDG_RUNTIME_DIR/bus is no socket: the two places the
// D-Bus library looks before it starts a bus. Call before the QApplication
// is made.
void forgoSessionBusWhereNoneRuns();

}  // namespace qtui
