#pragma once

// A printing library double for the engine's tests: the bound function
// pointers are pointed at functions that record every drawing call. Every
// character of a font is Width units wide (a monospaced face), so line
// breaking gives exact positions.

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
    std::int32_t CharWidth = 10; // every character, every font, and the average
    std::int32_t Status = 0;
    std::u16string ScreenFaceForSymbol = u"Symbol"; // what the screen gives for "Symbol"
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

// Installs the double with this setup and a fresh log.
void InstallFakePrinter(const FakePrinterSetup& setup = {});
FakePrinterSetup& FakeSetup();
FakePrinterLog& FakeLog();

// The number of calls of that name in the log.
int CallCount(const std::string& name);

// The texts of the message boxes shown, and the busy cursor's depth (shown
// minus hidden), recorded by the hosts the double installs.
std::vector<std::u16string>& ShownMessages();
int& BusyCursorDepth();

} // namespace printengine::testing
