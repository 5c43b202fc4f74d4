#include "FontControls.h"

#include "FontChoices.h"
#include "FontList.h"

#include <algorithm>
#include <cstdio>

namespace shell {

using namespace platform;

namespace {

std::intptr_t Text(const char16_t* text)
{
    return reinterpret_cast<std::intptr_t>(text);
}

} // namespace

std::u16string NumberText(std::int32_t value)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%d", static_cast<int>(value));
    return std::u16string(digits, digits + std::char_traits<char>::length(digits));
}

void FillFaceList(DialogHandle dialog, int id, const char16_t* face)
{
    SendDlgItemMessageW(dialog, id, LB_RESETCONTENT, 0, 0);
    FillFontListBox(dialog, id);
    std::intptr_t index = SendDlgItemMessageW(dialog, id, LB_FINDSTRINGEXACT, static_cast<std::uintptr_t>(-1), Text(face));
    SendDlgItemMessageW(dialog, id, LB_SETCURSEL, index == LB_ERR ? 0 : index, 0);
}

void ReadSelectedFace(DialogHandle dialog, int id, char16_t (&face)[core::kFaceNameUnits], std::uint8_t* charset)
{
    std::intptr_t selected = SendDlgItemMessageW(dialog, id, LB_GETCURSEL, 0, 0);
    std::intptr_t length = SendDlgItemMessageW(dialog, id, LB_GETTEXTLEN, selected, 0);
    if (selected == LB_ERR || length == LB_ERR)
        return;
    std::u16string text(static_cast<std::size_t>(length), u'\0');
    SendDlgItemMessageW(dialog, id, LB_GETTEXT, selected, Text(text.data()));
    std::size_t kept = std::min(text.size(), core::kFaceNameUnits - 1);
    std::fill(std::begin(face), std::end(face), u'\0');
    std::copy_n(text.begin(), kept, face);
    FindFontCharset(face, charset);
}

void FillSizeCombo(DialogHandle dialog, int id, std::int32_t size)
{
    for (std::size_t i = 0; i < kFontSizes.size(); ++i) {
        std::u16string text = NumberText(kFontSizes[i]);
        SendDlgItemMessageW(dialog, id, CB_INSERTSTRING, i, Text(text.c_str()));
    }
    auto found = std::find(kFontSizes.begin(), kFontSizes.end(), size);
    SendDlgItemMessageW(dialog, id, CB_SETCURSEL, found == kFontSizes.end() ? 0 : found - kFontSizes.begin(), 0);
}

void ReadSizeCombo(DialogHandle dialog, int id, std::int32_t& size)
{
    std::intptr_t selected = SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
    if (selected >= 0 && selected < static_cast<std::intptr_t>(kFontSizes.size()))
        size = kFontSizes[static_cast<std::size_t>(selected)];
}

} // namespace shell
