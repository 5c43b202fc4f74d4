#pragma once

// The lines of a printed e-mail: texts, line ends and header lines, every
// character through PutMailChar.

#include <cstddef>
#include <cstdint>
#include <span>

namespace email {

// The kinds of header line, numbered as the header orders name them.
enum class HeaderKind : std::uint8_t {
    Subject = 0,
    Sent = 1,
    From = 2,
    To = 3,
    Cc = 4,
};

inline constexpr std::size_t kHeaderKindCount = 5;
// Labels are loaded with at most this many characters.
inline constexpr std::size_t kHeaderLabelUnits = 50;

// The header kinds in the order of a MailHeaderOrder value; empty for a
// value that is no order (no header lines are printed then).
std::span<const HeaderKind> HeaderOrder(std::int32_t mailHeaderOrder);

void PutMailLineEnd();
// A null text puts nothing.
void PutMailText(const char16_t* text);
void PutMailLine(const char16_t* text);

// The label of the kind and the value. A missing or empty value prints a
// single blank, except for Cc, whose line is then left out.
void PrintHeaderLine(HeaderKind kind, const char16_t* value);

} // namespace email
