// A language library's resources: no strings, and its own plain-text dialog,
// translated.
#include "DialogResourceIds.h"
#include "DialogTemplate.h"
#include "LanguageLibrary.h"

#include <iterator>

namespace {

constexpr platform::DialogControlTemplate kControls[] = {
    { platform::kPlainTextPrintButton, platform::kButtonClass, platform::BS_DEFPUSHBUTTON, u"Drucken",
        { 4, 4, 60, 14 } },
};

constexpr platform::DialogTemplate kPlainText { platform::kPlainTextDialog, u"Optionen", platform::WS_POPUP, 0,
    { 0, 0, 100, 40 }, u"Tahoma", 8, kControls, std::size(kControls) };

// A damaged entry: its size is not that of a template, so it is ignored.
constexpr platform::DialogTemplate kDamaged { 77, u"Damaged", 0, 0, {}, u"Tahoma", 8, kControls, std::size(kControls) };

constexpr TallowinResource kResources[] = {
    { platform::kDialogResourceType, 77, 3, &kDamaged },
    { platform::kDialogResourceType, platform::kPlainTextDialog, sizeof(platform::DialogTemplate), &kPlainText },
};

constexpr TallowinResources kLibrary { TALLOWIN_RESOURCES_VERSION, 0, nullptr, std::size(kResources), kResources };

} // namespace

extern "C" const TallowinResources* TallowinLanguageResources(void)
{
    return &kLibrary;
}
