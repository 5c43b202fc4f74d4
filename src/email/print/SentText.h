#pragma once

// The Sent value of a printed e-mail: the time in the local zone, as the
// user's locale writes the weekday, month name, day, year and clock time.

#include "MapiTypes.h"

#include <string>

namespace email {

// The Sent text has at most this many units, its terminating zero included.
inline constexpr int kSentTextUnits = 50;

// For example "Tuesday,  March 4, 2025  2:05 PM" in en-US. Empty when the
// time cannot be converted or formatted; the date alone when the clock time
// does not fit after it.
std::u16string FormatSentText(const platform::FILETIME& time);

} // namespace email
