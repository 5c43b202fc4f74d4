#include "CellValueFormat.h"

#include <algorithm>

namespace spreadsheet {

void CellText::Append(char16_t unit)
{
    if (Room() == 0) {
        overflowed_ = true;
        return;
    }
    text_[length_++] = unit;
    text_[length_] = u'\0';
}

void CellText::Append(std::u16string_view text)
{
    for (char16_t unit : text)
        Append(unit);
}

void CellText::AppendAscii(const char* text)
{
    for (const char* p = text; *p; ++p)
        Append(static_cast<char16_t>(static_cast<unsigned char>(*p)));
}

void CellText::Advance(std::size_t count)
{
    length_ = std::min(length_ + count, kCapacity - 1);
    text_[length_] = u'\0';
}

void CellText::Truncate(std::size_t length)
{
    length_ = std::min(length, length_);
    text_[length_] = u'\0';
}

void CellText::Remove(char16_t unit)
{
    char16_t* end = std::remove(text_, text_ + length_, unit);
    length_ = static_cast<std::size_t>(end - text_);
    text_[length_] = u'\0';
}

} // namespace spreadsheet
