// The program's icon (ids::kAppIcon).
#pragma once

class QIcon;

namespace ui {

// Holds every rendered size, so each place that shows it gets a crisp one.
QIcon appIcon();

}  // namespace ui
