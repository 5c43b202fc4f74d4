#include "FakePrinter.h"

#include <MessageBox.h>
#include <Messages.h>

#include <algorithm>
#include <utility>

namespace printengine::testing {
namespace {

FakePrinterSetup setup;
FakePrinterLog log;
std::vector<std::u16string> shownMessages;
int busyDepth = 0;

// Fonts are handles 1..n into FontsMade; the contexts are fixed addresses.
int printer = 0;
int screen = 0;
HDC const kPrinterDc = reinterpret_cast<HDC>(&printer);
HDC const kScreenDc = reinterpret_cast<HDC>(&screen);

std::size_t selectedFont = 0; // 0 = none
std::size_t screenFont = 0;

const LOGFONTW* FontOf(std::size_t handle)
{
    return handle == 0 || handle > log.FontsMade.size() ? nullptr : &log.FontsMade[handle - 1];
}

// A font asked for with a height of 0 gets the library's default of 10.
int32_t FontHeight()
{
    const LOGFONTW* font = FontOf(selectedFont);
    return font == nullptr ? 0 : font->lfHeight == 0 ? 10 : std::abs(font->lfHeight);
}

int32_t CharWidth()
{
    return setup.CharWidth > 0 ? setup.CharWidth : std::max(1, FontHeight() / 2);
}

// Notes the call and gives back its result.
int32_t Note(const char* name, int32_t result = 1)
{
    log.Calls.emplace_back(name);
    return result;
}

int32_t FakeGetDeviceCaps(HDC, int32_t index)
{
    const std::pair<int32_t, int32_t> caps[] = { { LOGPIXELSX, setup.Dpi }, { LOGPIXELSY, setup.Dpi },
        { PHYSICALOFFSETX, setup.OffsetX }, { PHYSICALOFFSETY, setup.OffsetY }, { PHYSICALWIDTH, setup.PhysicalWidth },
        { PHYSICALHEIGHT, setup.PhysicalHeight } };
    for (const auto& [which, value] : caps)
        if (which == index)
            return value;
    return 0;
}

int32_t FakeGetTextExtentExPoint(
    HDC, const PLW_WCHAR*, int32_t count, int32_t maxExtent, int32_t* fit, int32_t*, SIZE* size)
{
    ++log.ExtentCalls;
    if (selectedFont == 0)
        return 0;
    if (fit != nullptr)
        *fit = std::min(count, maxExtent / CharWidth());
    size->cx = count * CharWidth();
    size->cy = FontHeight();
    return 1;
}

int32_t FakeGetTextFaceW(HDC dc, int32_t count, PLW_WCHAR* face)
{
    const LOGFONTW* font = FontOf(dc == kScreenDc ? screenFont : selectedFont);
    std::u16string name = font == nullptr ? u"" : std::u16string(font->lfFaceName);
    if (name == u"Symbol")
        name = setup.ScreenFaceForSymbol;
    const auto n = std::min<std::size_t>(name.size(), static_cast<std::size_t>(count - 1));
    std::copy_n(name.begin(), n, face);
    face[n] = 0;
    return static_cast<int32_t>(n);
}

int32_t FakeEnumFontsW(HDC, const PLW_WCHAR*, PLW_FONTENUMPROC proc, void* data)
{
    int32_t result = 0;
    for (const EnumeratedFont& font : setup.Fonts) {
        LOGFONTW logical {};
        std::copy_n(font.Face.begin(), std::min<std::size_t>(font.Face.size(), LF_FACESIZE - 1), logical.lfFaceName);
        logical.lfCharSet = font.Charset;
        TEXTMETRICW metrics {};
        metrics.tmCharSet = font.Charset;
        result = proc(&logical, &metrics, 4, data);
        if (result == 0)
            break;
    }
    return result;
}

} // namespace

void BindFakePrinter(const FakePrinterSetup& newSetup)
{
    setup = newSetup;
    log = FakePrinterLog {};
    selectedFont = 0;
    screenFont = 0;
    PLW_GetVersion = []() -> int32_t { return 3000; };
    PLW_Init = [](const PLW_WCHAR*) { return Note("Init", setup.InitResult); };
    PLW_SetReportLevel = [](int32_t) { Note("SetReportLevel"); };
    PLW_PrintDlg = [](PLW_PAGESETUP* page) {
        log.DialogFlags = page->Flags;
        page->rtMargin = setup.Margins;
        return Note("PrintDlg", setup.DialogResult);
    };
    PLW_GetPrinterDC = []() {
        Note("GetPrinterDC");
        return setup.DialogResult != 0 ? kPrinterDc : nullptr;
    };
    PLW_GetDeviceCaps = FakeGetDeviceCaps;
    PLW_SetBkMode = [](HDC, int32_t) -> int32_t { return TRANSPARENT; };
    PLW_SelectObject = [](HDC dc, HGDIOBJ object) {
        std::size_t& slot = dc == kScreenDc ? screenFont : selectedFont;
        const std::size_t previous = std::exchange(slot, reinterpret_cast<std::size_t>(object));
        return reinterpret_cast<HGDIOBJ>(previous);
    };
    PLW_SetTextColor = [](HDC, COLORREF color) -> COLORREF {
        log.TextColors.push_back(color);
        return 0;
    };
    PLW_SetBkColor = [](HDC, COLORREF color) -> COLORREF {
        log.BackColors.push_back(color);
        return 0;
    };
    PLW_GetTextMetrics = [](HDC, TEXTMETRICW* metrics) -> int32_t {
        *metrics = TEXTMETRICW {};
        metrics->tmHeight = FontHeight();
        metrics->tmAscent = FontHeight() * 4 / 5;
        metrics->tmAveCharWidth = CharWidth();
        return 1;
    };
    PLW_GetTextExtentExPoint = FakeGetTextExtentExPoint;
    PLW_ExtTextOut = [](HDC, int32_t x, int32_t y, uint32_t, const RECT*, const PLW_WCHAR* text, uint32_t count,
                         const int32_t*) -> int32_t {
        const LOGFONTW* font = FontOf(selectedFont);
        log.Texts.push_back(DrawnText { x, y, std::u16string(text, count), log.Page, -FontHeight(),
            font == nullptr ? u"" : font->lfFaceName, font != nullptr && font->lfWeight >= FW_SEMIBOLD,
            font != nullptr && font->lfItalic != 0 });
        return 1;
    };
    PLW_Rectangle = [](HDC, int32_t, int32_t, int32_t, int32_t) -> int32_t { return 1; };
    PLW_Polyline = [](HDC, const POINT*, int32_t) -> int32_t { return 1; };
    PLW_DrawPictIndirect = [](HDC, const PLW_PICTURE*, int32_t, int32_t) -> int32_t { return 1; };
    PLW_EndPage = [](HDC) { return Note("EndPage"); };
    PLW_StartPage = [](HDC) {
        ++log.Page;
        return Note("StartPage");
    };
    PLW_EndDoc = [](HDC) { return Note("EndDoc"); };
    PLW_StatusCheck = []() { return Note("StatusCheck", setup.Status); };
    PLW_DeleteDC = [](HDC) { return Note("DeleteDC"); };
    PLW_UnInit = []() { Note("UnInit"); };
    PLW_CreateFontIndirectW = [](const LOGFONTW* font) {
        log.FontsMade.push_back(*font);
        return reinterpret_cast<HFONT>(log.FontsMade.size());
    };
    PLW_CreatePenIndirect = [](const LOGPEN*) -> HPEN { return nullptr; };
    PLW_CreateSolidBrush = [](COLORREF) -> HBRUSH { return nullptr; };
    PLW_GetStockObject = [](int32_t) -> HGDIOBJ { return nullptr; };
    PLW_DeleteObject = [](HGDIOBJ) -> int32_t {
        ++log.FontsDeleted;
        return 1;
    };
    PLW_GetTextFaceW = FakeGetTextFaceW;
    PLW_GetScreenDC = []() { return kScreenDc; };
    PLW_ReleaseScreenDC = [](HDC) -> int32_t { return 1; };
    PLW_EnumFontsW = FakeEnumFontsW;
}

void InstallFakePrinter(const FakePrinterSetup& newSetup)
{
    BindFakePrinter(newSetup);
    shownMessages.clear();
    busyDepth = 0;
    platform::SetMessageBoxHost([](std::u16string_view text, std::u16string_view) {
        shownMessages.emplace_back(text);
        return platform::IDOK;
    });
    core::SetBusyCursorHost([](bool busy) { busyDepth += busy ? 1 : -1; });
}

void RemoveFakePrinter()
{
    platform::UnbindPrintingLibrary();
}

FakePrinterSetup& FakeSetup()
{
    return setup;
}

FakePrinterLog& FakeLog()
{
    return log;
}

int CallCount(const std::string& name)
{
    return static_cast<int>(std::count(log.Calls.begin(), log.Calls.end(), name));
}

std::u16string PrintedText()
{
    std::u16string out;
    const DrawnText* previous = nullptr;
    for (const DrawnText& drawn : log.Texts) {
        if (previous != nullptr)
            out += drawn.Page != previous->Page ? u"\f" : drawn.Y != previous->Y ? u"\n" : u"";
        out += drawn.Text;
        previous = &drawn;
    }
    return out;
}

std::vector<std::u16string>& ShownMessages()
{
    return shownMessages;
}

int& BusyCursorDepth()
{
    return busyDepth;
}

} // namespace printengine::testing
