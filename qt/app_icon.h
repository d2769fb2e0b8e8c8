// The program's icon (ids::kAppIcon).
#pragma once
#include "qt/res_names.h"

class QIcon;

namespace qtui {

// Holds every rendered size, so each place that shows it gets a crisp one.
QIcon appIcon();

}  // namespace qtui
