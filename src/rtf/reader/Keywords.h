#pragma once

// The meaning of RTF control words: the sorted keyword table, the property
// table, the font-table keywords and the colour table.

#include <cstdint>
#include <string_view>

namespace rtf {

// Control words and their parameters are cut at these lengths.
inline constexpr int kMaxKeywordLength = 31;
inline constexpr int kMaxParameterDigits = 23;

// Gives a control word its meaning. Returns an RtfError.
int TranslateKeyword(std::string_view name, std::int32_t parameter, bool hasParameter);

// The number of rows of the main keyword table (for tests).
std::size_t KeywordCount();

} // namespace rtf
