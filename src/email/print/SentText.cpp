#include "SentText.h"

#include "FileTimeConversion.h"
#include "LocaleFormat.h"

namespace email {

namespace {

constexpr char16_t kSentDatePicture[] = u"dddd','  MMMM d',' yyyy  ";
constexpr char16_t kSentTimePicture[] = u"h':'mm tt";

} // namespace

std::u16string FormatSentText(const platform::FILETIME& time)
{
    platform::FILETIME local {};
    platform::SYSTEMTIME fields {};
    if (!platform::FileTimeToLocalFileTime(&time, &local) || !platform::FileTimeToSystemTime(&local, &fields)) {
        return {};
    }
    char16_t buffer[kSentTextUnits + 1] = {};
    const int dateUnits
        = platform::GetDateFormatW(platform::LOCALE_USER_DEFAULT, 0, &fields, kSentDatePicture, buffer, kSentTextUnits);
    if (dateUnits < 1 || dateUnits >= kSentTextUnits) {
        return {};
    }
    // The time goes over the date's terminating zero, into what is left of
    // the buffer. A time that does not fit leaves the date alone.
    char16_t* timeStart = buffer + dateUnits - 1;
    const int timeRoom = kSentTextUnits + 1 - dateUnits;
    char16_t timeText[kSentTextUnits + 1] = {};
    if (platform::GetTimeFormatW(platform::LOCALE_USER_DEFAULT, 0, &fields, kSentTimePicture, timeText, timeRoom) > 0) {
        std::char_traits<char16_t>::copy(timeStart, timeText, static_cast<std::size_t>(timeRoom));
    }
    buffer[kSentTextUnits] = 0;
    return std::u16string(buffer);
}

} // namespace email
