#pragma once

// The dialog host of the Qt window system: shows a dialog template of the
// resource module as a modal Qt dialog, laid out in dialog units of the
// template's font, and turns a person's clicks, choices and typing into the
// messages the dialog procedure expects.

#include "DialogHost.h"

namespace platform {

class QtDialogHost final : public DialogHost {
public:
    void RunModal(Dialog& dialog) override;
};

} // namespace platform
