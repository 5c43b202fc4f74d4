#pragma once

// The option dialogs fill the screen while they are open.

#include "Dialog.h"

namespace core {

// The handheld shell's full-screen dialog set-up: full screen without a menu
// bar, with the input panel down unless `keepInputPanel` is set; brought to
// the front; task bar and input-panel button hidden.
void PrepareFullScreenDialog(platform::DialogHandle dialog, int keepInputPanel);

// Shows (show non-zero) or hides the input panel while an edit field that
// takes typing has the focus. A desktop types on its keyboard: there is no
// panel to raise and no input method to switch, so only the state is kept,
// and a hide without a show before it changes nothing. Returns 1.
int ShowInputPanel(int show);
// Whether the input panel is up.
bool InputPanelShown();

} // namespace core
