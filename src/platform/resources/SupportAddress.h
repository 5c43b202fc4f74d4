#pragma once

// Where users are sent when the program cannot help itself: the end of the
// messages about a missing printing library and about e-mail printing.

namespace platform {

inline constexpr char16_t kSupportAddress[] = u"the Tallowin issue tracker";

} // namespace platform
