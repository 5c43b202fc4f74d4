#pragma once

// The list of font faces the font dialogs offer: one entry per face the
// printing library enumerates on the screen, in enumeration order, with the
// character set the face stands for. It exists only while a font dialog is
// open; the dialog frees it when it applies or is cancelled.

#include "Dialog.h"

#include <cstdint>
#include <plotwise/plotwise_types.h>

namespace shell {

struct FontListEntry {
    FontListEntry* Next = nullptr;
    std::uint8_t Charset = 0;
    char16_t FaceName[LF_FACESIZE] = {}; // terminated
};

// The first entry, or null when the list is empty or not built.
FontListEntry* FontList();

// Enumerates the fonts of the screen (no face filter) and appends one entry
// per font. A list still held is freed first. Without the printing library
// the list stays empty.
void BuildFontList();

// Adds every face of the list, in list order, to list box `id` with
// LB_ADDSTRING.
void FillFontListBox(platform::DialogHandle dialog, int id);

// The character set of the first entry whose face equals `face` exactly;
// false, leaving *charset as it was, when no entry does.
bool FindFontCharset(const char16_t* face, std::uint8_t* charset);

void FreeFontList();

} // namespace shell
