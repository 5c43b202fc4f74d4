#pragma once

// Texts of the string table used by the e-mail subsystem. The loader is
// installed by the program at start-up (it reads the resource module); until
// then no text is found.

#include <cstddef>

namespace email {

// Returns the text of string `id` (at most `maxLength` units are used by
// the caller), or null when the entry exists nowhere.
using MailStringLoader = const char16_t* (*)(unsigned id, std::size_t maxLength);

void SetMailStringLoader(MailStringLoader loader);
const char16_t* LoadMailString(unsigned id, std::size_t maxLength);

} // namespace email
