#pragma once

// A printing library for tests: it answers the calls of the print engine
// with a fixed page (100 dpi, 8.5 by 11 inches, margins of 0.75 inch), fixed
// monospaced metrics (a character is half as wide as the font's height) and
// records every text drawn and every page ended.

#include <plotwise/plotwise_types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace fakeprinter {

struct DrawnText {
    int Page = 0;
    int X = 0;
    int Y = 0;
    std::u16string Text;
    std::u16string Face;
    int Height = 0; // the font's height in device units
    bool Bold = false;
    bool Italic = false;
};

struct EnumeratedFont {
    std::u16string Face;
    std::uint8_t Charset = 0;
};

struct State {
    // What the library answers.
    int PrintDialogResult = 1; // 0: the user cancelled the print dialog
    int Status = 0; // PLW_StatusCheck
    std::vector<EnumeratedFont> Fonts;

    // What it saw.
    std::vector<DrawnText> Texts;
    int PagesEnded = 0;
    int Documents = 0;
    int Inits = 0;
    int UnInits = 0;
    int PrintDialogs = 0;
};

inline constexpr int kDpi = 100;

State& Fake();

// Points every printing-library function at the fake and clears its state.
void InstallFakePrinter();
// Leaves every printing-library function null again.
void RemoveFakePrinter();

// All texts drawn, joined; a line break between texts on different lines, a
// form feed between pages.
std::u16string PrintedText();

} // namespace fakeprinter
