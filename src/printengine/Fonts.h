#pragma once

// Printer fonts for text runs, and the code page used to turn document
// bytes into UTF-16. Fonts are made once per distinct CharFormat and job
// and kept in a cache until FreeFlowResources.

#include "TextFlow.h"

#include <plotwise/plotwise_types.h>

#include <cstdint>

namespace printengine {

inline constexpr std::uint16_t kNoDocumentCodePage = 0xFFFF;
inline constexpr std::uint16_t kWesternCodePage = 1252;

// The code-page state, reset by StartPrintJob.
struct CodePageState {
    std::uint16_t CurrentCharset = 0;
    std::uint16_t CodePage = kWesternCodePage;
    std::uint16_t DocumentCodePage = kNoDocumentCodePage; // the RTF ansicpg, or none
};

CodePageState& CodePages();

// Back to the state at job start: charset 0, code page 1252, no document
// code page.
void ResetCodePageState();

// Selects the code page for an RTF charset number: the table's code page,
// else the document's, else the system ANSI code page. Returns the charset
// selected (its low byte).
std::uint16_t SelectCodePage(std::uint16_t charset);

// Gives the run its printer font, from the cache or newly made. Returns 1
// when the run has a font, 0 when its FontNumber names no font table entry
// (or the library could not make the font).
int RealizeRunFont(TextRun& run);

// Deletes every font made in this job and empties the cache.
void FreeFontCache();

// The font RealizeRunFont made or found last (null before the first), whose
// metrics the plain-text default tab uses.
HFONT LastRealizedFont();

} // namespace printengine
