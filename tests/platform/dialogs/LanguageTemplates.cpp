// A language library's templates: its own plain-text dialog, translated.
#include "DialogResourceIds.h"
#include "DialogTemplate.h"

#include <iterator>

namespace {

constexpr platform::DialogControlTemplate kControls[] = {
    {platform::kPlainTextPrintButton, platform::kButtonClass, platform::BS_DEFPUSHBUTTON, u"Drucken", {4, 4, 60, 14}},
};

constexpr platform::DialogTemplate kTemplates[] = {
    {platform::kPlainTextDialog, u"Optionen", platform::WS_POPUP, 0, {0, 0, 100, 40}, u"Tahoma", 8, kControls,
     std::size(kControls)},
};

} // namespace

extern "C" const platform::DialogTemplateTable TallowinDialogTemplates{kTemplates, std::size(kTemplates)};
