#pragma once

// Time stamps to calendar times, in the platform's published form:
// FileTimeToLocalFileTime shifts a UTC stamp into the local time zone (the
// zone of the TZ environment variable, else the system's), and
// FileTimeToSystemTime splits a stamp into its calendar fields.

#include "LocaleFormat.h"
#include "MapiTypes.h"

namespace platform {

// The offset applied is the one in force at that moment in the local zone
// (so summer time counts for a summer date). Returns 0, leaving *localTime
// alone, when the stamp lies outside what the calendar functions handle.
int FileTimeToLocalFileTime(const FILETIME* fileTime, FILETIME* localTime);

// Year, month, day, weekday (0 = Sunday), hour, minute, second and
// milliseconds of the stamp. Returns 0 for a stamp after the year 30827,
// which the calendar fields cannot hold.
int FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* systemTime);

} // namespace platform
