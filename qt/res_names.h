// The Qt front-end draws its windows from res/: the templates, the ids and
// the texts are its own vocabulary, so their names are used here unqualified.
#pragma once

#include "res/dialog_template.h"

namespace qtui {
using namespace ::ui;
}  // namespace qtui
