// The program's four dialog templates, by resource id.
#pragma once

#include "ui/dialog_template.h"

namespace ui {

const DialogTemplate& aboutTemplate();       // 100
const DialogTemplate& mainWindowTemplate();  // 102
const DialogTemplate& cameraPageTemplate();  // 129
const DialogTemplate& calcPageTemplate();    // 235

}  // namespace ui
