#pragma once

// What the two font dialogs do alike with their controls: a face list box
// with the stored face selected, a size combo with the stored size
// selected, and reading both back.

#include "AppSettings.h"
#include "Dialog.h"

#include <cstdint>
#include <string>

namespace shell {

std::u16string NumberText(std::int32_t value);

// Empties list box `id`, fills it from the font list and selects `face`
// (entry 0 when it is not there).
void FillFaceList(platform::DialogHandle dialog, int id, const char16_t* face);

// Copies the selected face of list box `id` into `face` and looks up its
// character set (unchanged when the face is not in the font list); nothing
// changes without a selection.
void ReadSelectedFace(
    platform::DialogHandle dialog, int id, char16_t (&face)[core::kFaceNameUnits], std::uint8_t* charset);

// Inserts the font sizes into combo `id` and selects `size` (index 0 when
// the table lacks it).
void FillSizeCombo(platform::DialogHandle dialog, int id, std::int32_t size);

// The size at the selection of combo `id`; `size` stays without one.
void ReadSizeCombo(platform::DialogHandle dialog, int id, std::int32_t& size);

} // namespace shell
