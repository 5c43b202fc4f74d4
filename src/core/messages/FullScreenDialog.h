#pragma once

// The option dialogs fill the screen while they are open.

#include "Dialog.h"

namespace core {

// The handheld shell's full-screen dialog set-up: full screen without a menu
// bar, with the input panel down unless `keepInputPanel` is set; brought to
// the front; task bar and input-panel button hidden.
void PrepareFullScreenDialog(platform::DialogHandle dialog, int keepInputPanel);

} // namespace core
