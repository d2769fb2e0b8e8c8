// The program's four dialog templates (ids::kAboutDialog, kMainDialog,
// kCameraPageDialog, kCalcPageDialog).
#pragma once

#include "res/dialog_template.h"

namespace ui {

const DialogTemplate& aboutTemplate();
const DialogTemplate& mainWindowTemplate();
const DialogTemplate& cameraPageTemplate();
const DialogTemplate& calcPageTemplate();
// Re-addressing the selected cameras at once (ids::kBatchDialog).
const DialogTemplate& batchTemplate();
// The network check's report and its fixes (ids::kNetworkCheckDialog).
const DialogTemplate& networkCheckTemplate();
// The preview of a site plan before it is sent (ids::kPlanDialog).
const DialogTemplate& planTemplate();

// Each column of the camera page's list is this wide, in pixels, whatever the
// dialog font.
inline constexpr int kCameraColumnWidth = 150;

}  // namespace ui
