#include "FontList.h"

#include "PrintingLibrary.h"

#include <algorithm>
#include <new>
#include <string_view>

namespace shell {
namespace {

FontListEntry* first = nullptr;
FontListEntry* last = nullptr;

int AppendFont(const LOGFONTW* font, const TEXTMETRICW* metrics, std::uint32_t fontType, void* data)
{
    if (!font)
        return 1;
    auto* entry = new (std::nothrow) FontListEntry();
    if (!entry)
        return 0; // no memory: the list ends here
    entry->Charset = metrics ? metrics->tmCharSet : font->lfCharSet;
    std::size_t length = std::char_traits<char16_t>::length(font->lfFaceName);
    length = std::min<std::size_t>(length, LF_FACESIZE - 1);
    std::copy_n(font->lfFaceName, length, entry->FaceName);
    if (last)
        last->Next = entry;
    else
        first = entry;
    last = entry;
    return 1;
}

} // namespace

FontListEntry* FontList()
{
    return first;
}

void BuildFontList()
{
    FreeFontList();
    if (!PLW_GetScreenDC || !PLW_EnumFontsW)
        return;
    HDC screen = PLW_GetScreenDC();
    PLW_EnumFontsW(screen, nullptr, AppendFont, nullptr);
    if (PLW_ReleaseScreenDC)
        PLW_ReleaseScreenDC(screen);
}

void FillFontListBox(platform::DialogHandle dialog, int id)
{
    for (FontListEntry* entry = first; entry; entry = entry->Next)
        platform::SendDlgItemMessageW(
            dialog, id, platform::LB_ADDSTRING, 0, reinterpret_cast<std::intptr_t>(entry->FaceName));
}

bool FindFontCharset(const char16_t* face, std::uint8_t* charset)
{
    if (!face)
        return false;
    std::u16string_view wanted(face);
    for (FontListEntry* entry = first; entry; entry = entry->Next) {
        if (wanted == entry->FaceName) {
            *charset = entry->Charset;
            return true;
        }
    }
    return false;
}

void FreeFontList()
{
    while (first) {
        FontListEntry* next = first->Next;
        delete first;
        first = next;
    }
    last = nullptr;
}

} // namespace shell
