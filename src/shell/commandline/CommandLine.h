#pragma once

// The command line of a start by another program: switches /A /E /F /I /P
// /Q /W and the /X family of spreadsheet options, letters in either case.

#include <cstddef>

namespace shell {

// A command line this long or longer is ignored as a whole.
inline constexpr std::size_t kMaxCommandLineLength = 260;

// Reads the switches of the zero-terminated UTF-16 text (the command line
// without the program name) into Options() and Settings(). The stored
// settings are read first, so switches override them; when spreadsheet
// options were given (/A or any /X) the settings are saved at the end.
// Nothing is ever rejected with a message: unknown switches and malformed
// arguments are skipped. An empty text, or one of kMaxCommandLineLength
// characters or more, is left alone entirely (the settings are not read).
void ParseCommandLine(const char16_t* text);

} // namespace shell
