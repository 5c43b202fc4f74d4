#pragma once

// Pictures of an RTF document: a pict group fills the current picture
// record from its control words and takes the picture's bytes from binary
// data; when the group closes the picture is placed and handed whole to the
// printing library. Hexadecimal picture data is read and ignored.

#include <plotwise/plotwise_types.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

namespace rtf {

struct PictureRecord {
    PLW_PICTURE Fields {}; // Data is set when the picture is drawn
    std::unique_ptr<std::uint8_t[]> Data; // DataSize bytes plus two zero bytes
    bool HasData = false;
};

// The current picture record, if any (for tests).
const std::optional<PictureRecord>& CurrentPicture();

// Starts a picture: makes a record when there is none; a record that holds
// data is cleared, one without data keeps its values.
void BeginPicture();

// A control word inside a picture. Returns an RtfError: binary data cut short
// by the end of the source is an error, checked before anything is allocated.
int PictKeyword(std::string_view name, std::int32_t parameter);

// Places and draws the picture when its group closes, then frees it.
void EndPicture();

// Forgets the record without drawing.
void ReleasePicture();

} // namespace rtf
