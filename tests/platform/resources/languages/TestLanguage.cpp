// A throwaway language library: its caption entry names the variant, so a
// test sees which candidate was chosen; the identity entry is optional. With
// TEST_LONG_ENTRIES it holds entries longer than the message routines read,
// and lacks most others, so the program's table has to fill in.

#include "StringEntry.h"
#include "StringIds.h"

#include <array>

namespace {

using namespace platform;

#ifdef TEST_LONG_ENTRIES
// 170 units: longer than the 160 read before a file name is appended.
constexpr char16_t kLongEntry[] = u"0123456789012345678901234567890123456789012345678901234567890123456789"
                                  u"0123456789012345678901234567890123456789012345678901234567890123456789"
                                  u"012345678901234567890123456789";
// 250 units: longer than the 200 of a message.
constexpr char16_t kVeryLongEntry[] = u"0123456789012345678901234567890123456789012345678901234567890123456789"
                                      u"0123456789012345678901234567890123456789012345678901234567890123456789"
                                      u"0123456789012345678901234567890123456789012345678901234567890123456789"
                                      u"0123456789012345678901234567890123456789";
static_assert(sizeof kLongEntry / sizeof(char16_t) == 171 && sizeof kVeryLongEntry / sizeof(char16_t) == 251);
#endif

constexpr std::array kStrings {
#ifdef TEST_IDENTITY
    StringEntry(kStrLanguageIdentity, TEST_IDENTITY),
#endif
#ifdef TEST_LONG_ENTRIES
    StringEntry(kStrPxlOpenFailed, kLongEntry),
#endif
    StringEntry(kStrFileOpenFailed, u"Datei: "),
#ifdef TEST_LONG_ENTRIES
    StringEntry(kStrInvalidFileType, kVeryLongEntry),
#endif
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
