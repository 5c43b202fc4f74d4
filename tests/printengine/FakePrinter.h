#pragma once

// A printing library double for the tests of the engine and of everything
// that prints through it: the bound function pointers are pointed at
// functions that record every drawing call. Every character of a font is
// CharWidth units wide (a monospaced face), so line breaking gives exact
// positions.

#include <PrintingLibrary.h>

#include <cstdint>
#include <string>
#include <vector>

namespace printengine::testing {

struct DrawnText {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    std::u16string Text;
    std::int32_t Page = 0;
    std::int32_t FontHeight = 0; // the lfHeight of the font selected
    std::u16string Face; // and its face and style
    bool Bold = false;
    bool Italic = false;
};

// A face the library enumerates.
struct EnumeratedFont {
    std::u16string Face;
    std::uint8_t Charset = 0;
};

struct FakePrinterSetup {
    std::int32_t InitResult = 0;
    std::int32_t DialogResult = 1;
    RECT Margins { 0, 0, 0, 0 };
    std::int32_t Dpi = 300;
    std::int32_t OffsetX = 0;
    std::int32_t OffsetY = 0;
    std::int32_t PhysicalWidth = 2550;
    std::int32_t PhysicalHeight = 3300;
    std::int32_t CharWidth = 10; // every character, every font, and the average; 0: half the font's height
    std::int32_t Status = 0;
    std::u16string ScreenFaceForSymbol = u"Symbol"; // what the screen gives for "Symbol"
    std::vector<EnumeratedFont> Fonts; // what font enumeration gives
};

struct FakePrinterLog {
    std::vector<std::string> Calls; // names of the library calls, in order
    std::vector<DrawnText> Texts;
    std::vector<LOGFONTW> FontsMade;
    std::vector<COLORREF> TextColors;
    std::vector<COLORREF> BackColors;
    std::uint32_t DialogFlags = 0;
    std::int32_t Page = 0;
    std::int32_t FontsDeleted = 0;
    std::int32_t ExtentCalls = 0;
};

// Points every printing-library function at the double, with this setup and
// a fresh log; the install also records the message boxes and busy cursor.
void BindFakePrinter(const FakePrinterSetup& setup);
void InstallFakePrinter(const FakePrinterSetup& setup = {});
FakePrinterSetup& FakeSetup();
FakePrinterLog& FakeLog();

// Leaves every printing-library function null again.
void RemoveFakePrinter();

// The number of calls of that name in the log.
int CallCount(const std::string& name);

// All texts drawn, joined; a line break between texts on different lines, a
// form feed between pages.
std::u16string PrintedText();

// The texts of the message boxes shown, and the busy cursor's depth (shown
// minus hidden), recorded by the hosts the double installs.
std::vector<std::u16string>& ShownMessages();
int& BusyCursorDepth();

} // namespace printengine::testing
