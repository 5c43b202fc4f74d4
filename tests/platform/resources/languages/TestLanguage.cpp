// A throwaway language library: its caption entry names the variant, so a
// test sees which candidate was chosen; the identity entry is optional.

#include "StringEntry.h"
#include "StringIds.h"

#include <array>

namespace {

using namespace platform;

constexpr std::array kStrings {
#ifdef TEST_IDENTITY
    StringEntry(kStrLanguageIdentity, TEST_IDENTITY),
#endif
    StringEntry(kStrFileOpenFailed, u"Test: "),
    StringEntry(kStrAlertCaption, TEST_MARKER),
};

static_assert(IsWellFormedStringTable(kStrings));

constexpr TallowinResources kResources {
    TALLOWIN_RESOURCES_VERSION,
    static_cast<std::uint32_t>(kStrings.size()),
    kStrings.data(),
    0,
    nullptr,
};

} // namespace

extern "C" const TallowinResources* TallowinLanguageResources(void)
{
    return &kResources;
}
