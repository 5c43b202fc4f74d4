#pragma once

// A page as a PNG image, drawn a band of rows at a time and handed to libpng
// row by row, so that the memory a page needs does not grow with the
// resolution beyond one band. The pixels are those of the whole page drawn
// at once; the file has eight bits a channel, a white background chunk, and
// one grey channel for a page whose drawing holds no colour, else RGB.

#include "Destination.h"

#include <cstddef>
#include <cstdint>
#include <functional>

namespace plotwise {

// Receives the file's bytes in order; false stops the page.
using PngSink = std::function<bool(const unsigned char* data, std::size_t size)>;

enum class PngResult { Written, OutOfMemory, WriteFailed };

// The rows of one band for the page: about 4 MB of bitmap. A stretched
// picture is sampled relative to the band being drawn: its pixels may differ
// by rounding, by a level or two of 255, from those of the page drawn whole.
int32_t PngBandRows(const PageGeometry& geometry);

PngResult WritePngPage(const Page& page, const PageGeometry& geometry, int32_t bandRows, const PngSink& sink);

} // namespace plotwise
