// A language library with entries longer than the message routines read,
// and without most entries, so the program's table has to fill in.

#include "StringEntry.h"
#include "StringIds.h"

#include <array>

namespace {

using namespace platform;

// 170 units: longer than the 160 read before a file name is appended.
constexpr char16_t kLongEntry[] = u"0123456789012345678901234567890123456789012345678901234567890123456789"
                                  u"0123456789012345678901234567890123456789012345678901234567890123456789"
                                  u"012345678901234567890123456789";
// 250 units: longer than the 200 of a message.
constexpr char16_t kVeryLongEntry[] = u"0123456789012345678901234567890123456789012345678901234567890123456789"
                                      u"0123456789012345678901234567890123456789012345678901234567890123456789"
                                      u"0123456789012345678901234567890123456789012345678901234567890123456789"
                                      u"0123456789012345678901234567890123456789";

constexpr std::array kStrings {
    StringEntry(kStrLanguageIdentity, u"tallowin3"),
    StringEntry(kStrPxlOpenFailed, kLongEntry),
    StringEntry(kStrFileOpenFailed, u"Datei: "),
    StringEntry(kStrInvalidFileType, kVeryLongEntry),
    StringEntry(kStrAlertCaption, u"A caption of thirty units long"),
};

static_assert(IsWellFormedStringTable(kStrings));
static_assert(sizeof kLongEntry / sizeof(char16_t) == 171 && sizeof kVeryLongEntry / sizeof(char16_t) == 251);

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
