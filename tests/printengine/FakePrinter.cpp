#include "FakePrinter.h"

#include <MessageBox.h>
#include <Messages.h>

#include <algorithm>

namespace printengine::testing {
namespace {

FakePrinterSetup setup;
FakePrinterLog log;
std::vector<std::u16string> shownMessages;
int busyDepth = 0;

// Fonts are handles 1..n into FontsMade; the DC is a fixed address.
HDC PrinterDc()
{
    static int printer = 0;
    return reinterpret_cast<HDC>(&printer);
}

HDC ScreenDc()
{
    static int screen = 0;
    return reinterpret_cast<HDC>(&screen);
}

std::size_t selectedFont = 0; // 0 = none
std::size_t screenFont = 0;

const LOGFONTW* FontOf(std::size_t handle)
{
    if (handle == 0 || handle > log.FontsMade.size())
        return nullptr;
    return &log.FontsMade[handle - 1];
}

void Note(const char* name)
{
    log.Calls.emplace_back(name);
}

int32_t FakeGetVersion()
{
    return 3000;
}
int32_t FakeInit(const PLW_WCHAR*)
{
    Note("Init");
    return setup.InitResult;
}
void FakeSetReportLevel(int32_t)
{
    Note("SetReportLevel");
}
int32_t FakePrintDlg(PLW_PAGESETUP* page)
{
    Note("PrintDlg");
    log.DialogFlags = page->Flags;
    page->rtMargin = setup.Margins;
    return setup.DialogResult;
}
HDC FakeGetPrinterDC()
{
    Note("GetPrinterDC");
    return setup.DialogResult != 0 ? PrinterDc() : nullptr;
}
int32_t FakeGetDeviceCaps(HDC, int32_t index)
{
    switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY:
        return setup.Dpi;
    case PHYSICALOFFSETX:
        return setup.OffsetX;
    case PHYSICALOFFSETY:
        return setup.OffsetY;
    case PHYSICALWIDTH:
        return setup.PhysicalWidth;
    case PHYSICALHEIGHT:
        return setup.PhysicalHeight;
    default:
        return 0;
    }
}
int32_t FakeSetBkMode(HDC, int32_t)
{
    return TRANSPARENT;
}
HGDIOBJ FakeSelectObject(HDC dc, HGDIOBJ object)
{
    std::size_t& slot = dc == ScreenDc() ? screenFont : selectedFont;
    const std::size_t previous = slot;
    slot = reinterpret_cast<std::size_t>(object);
    return reinterpret_cast<HGDIOBJ>(previous);
}
COLORREF FakeSetTextColor(HDC, COLORREF color)
{
    log.TextColors.push_back(color);
    return 0;
}
COLORREF FakeSetBkColor(HDC, COLORREF color)
{
    log.BackColors.push_back(color);
    return 0;
}
int32_t FontHeight()
{
    const LOGFONTW* font = FontOf(selectedFont);
    return font == nullptr ? 0 : std::abs(font->lfHeight);
}
int32_t FakeGetTextMetrics(HDC, TEXTMETRICW* metrics)
{
    *metrics = TEXTMETRICW {};
    metrics->tmHeight = FontHeight();
    metrics->tmAscent = FontHeight() * 4 / 5;
    metrics->tmAveCharWidth = setup.AveCharWidth;
    return 1;
}
int32_t FakeGetTextExtentExPoint(
    HDC, const PLW_WCHAR*, int32_t count, int32_t maxExtent, int32_t* fit, int32_t*, SIZE* size)
{
    ++log.ExtentCalls;
    if (selectedFont == 0)
        return 0;
    if (fit != nullptr)
        *fit = std::min(count, setup.CharWidth > 0 ? maxExtent / setup.CharWidth : count);
    size->cx = count * setup.CharWidth;
    size->cy = FontHeight();
    return 1;
}
int32_t FakeExtTextOut(
    HDC, int32_t x, int32_t y, uint32_t, const RECT*, const PLW_WCHAR* text, uint32_t count, const int32_t*)
{
    log.Texts.push_back(DrawnText { x, y, std::u16string(text, count), log.Page, -FontHeight() });
    return 1;
}
int32_t FakeRectangle(HDC, int32_t, int32_t, int32_t, int32_t)
{
    return 1;
}
int32_t FakePolyline(HDC, const POINT*, int32_t)
{
    return 1;
}
int32_t FakeDrawPictIndirect(HDC, const PLW_PICTURE*, int32_t, int32_t)
{
    return 1;
}
int32_t FakeEndPage(HDC)
{
    Note("EndPage");
    return 1;
}
int32_t FakeStartPage(HDC)
{
    Note("StartPage");
    ++log.Page;
    return 1;
}
int32_t FakeEndDoc(HDC)
{
    Note("EndDoc");
    return 1;
}
int32_t FakeStatusCheck()
{
    Note("StatusCheck");
    return setup.Status;
}
int32_t FakeDeleteDC(HDC)
{
    Note("DeleteDC");
    return 1;
}
void FakeUnInit()
{
    Note("UnInit");
}
HFONT FakeCreateFontIndirectW(const LOGFONTW* font)
{
    log.FontsMade.push_back(*font);
    return reinterpret_cast<HFONT>(log.FontsMade.size());
}
HPEN FakeCreatePenIndirect(const LOGPEN*)
{
    return nullptr;
}
HBRUSH FakeCreateSolidBrush(COLORREF)
{
    return nullptr;
}
HGDIOBJ FakeGetStockObject(int32_t)
{
    return nullptr;
}
int32_t FakeDeleteObject(HGDIOBJ)
{
    ++log.FontsDeleted;
    return 1;
}
int32_t FakeGetTextFaceW(HDC dc, int32_t count, PLW_WCHAR* face)
{
    const LOGFONTW* font = FontOf(dc == ScreenDc() ? screenFont : selectedFont);
    std::u16string name = font == nullptr ? u"" : std::u16string(font->lfFaceName);
    if (name == u"Symbol")
        name = setup.ScreenFaceForSymbol;
    const auto n = std::min<std::size_t>(name.size(), static_cast<std::size_t>(count - 1));
    std::copy_n(name.begin(), n, face);
    face[n] = 0;
    return static_cast<int32_t>(n);
}
HDC FakeGetScreenDC()
{
    return ScreenDc();
}
int32_t FakeReleaseScreenDC(HDC)
{
    return 1;
}
int32_t FakeEnumFontsW(HDC, const PLW_WCHAR*, PLW_FONTENUMPROC, void*)
{
    return 0;
}

} // namespace

void InstallFakePrinter(const FakePrinterSetup& newSetup)
{
    setup = newSetup;
    log = FakePrinterLog {};
    selectedFont = 0;
    screenFont = 0;
    shownMessages.clear();
    busyDepth = 0;
    platform::SetMessageBoxHost([](std::u16string_view text, std::u16string_view) {
        shownMessages.emplace_back(text);
        return platform::IDOK;
    });
    core::SetBusyCursorHost([](bool busy) { busyDepth += busy ? 1 : -1; });
    PLW_GetVersion = FakeGetVersion;
    PLW_Init = FakeInit;
    PLW_SetReportLevel = FakeSetReportLevel;
    PLW_PrintDlg = FakePrintDlg;
    PLW_GetPrinterDC = FakeGetPrinterDC;
    PLW_GetDeviceCaps = FakeGetDeviceCaps;
    PLW_SetBkMode = FakeSetBkMode;
    PLW_SelectObject = FakeSelectObject;
    PLW_SetTextColor = FakeSetTextColor;
    PLW_SetBkColor = FakeSetBkColor;
    PLW_GetTextMetrics = FakeGetTextMetrics;
    PLW_GetTextExtentExPoint = FakeGetTextExtentExPoint;
    PLW_ExtTextOut = FakeExtTextOut;
    PLW_Rectangle = FakeRectangle;
    PLW_Polyline = FakePolyline;
    PLW_DrawPictIndirect = FakeDrawPictIndirect;
    PLW_EndPage = FakeEndPage;
    PLW_StartPage = FakeStartPage;
    PLW_EndDoc = FakeEndDoc;
    PLW_StatusCheck = FakeStatusCheck;
    PLW_DeleteDC = FakeDeleteDC;
    PLW_UnInit = FakeUnInit;
    PLW_CreateFontIndirectW = FakeCreateFontIndirectW;
    PLW_CreatePenIndirect = FakeCreatePenIndirect;
    PLW_CreateSolidBrush = FakeCreateSolidBrush;
    PLW_GetStockObject = FakeGetStockObject;
    PLW_DeleteObject = FakeDeleteObject;
    PLW_GetTextFaceW = FakeGetTextFaceW;
    PLW_GetScreenDC = FakeGetScreenDC;
    PLW_ReleaseScreenDC = FakeReleaseScreenDC;
    PLW_EnumFontsW = FakeEnumFontsW;
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

std::vector<std::u16string>& ShownMessages()
{
    return shownMessages;
}

int& BusyCursorDepth()
{
    return busyDepth;
}

} // namespace printengine::testing
