// plotwise-testpage: prints the library's test page to the destination of
// the print setup, through the library's own exported calls, and ends with
// status 0 when it printed, 1 when it was cancelled, 2 when it failed.

#include "PrintSetup.h"
#include "plotwise/plotwise.h"

#include <algorithm>
#include <iterator>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

constexpr int32_t kPointsPerInch = 72;
constexpr int32_t kMilliInchPerInch = 1000;
constexpr int32_t kHundredthsOfMillimetrePerInch = 2540;

struct Page {
    HDC Dc = nullptr;
    int32_t Dpi = 0;
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t Y = 0; // from Top
};

std::u16string Utf16(std::string_view text)
{
    std::u16string result;
    for (size_t i = 0; i < text.size();) {
        auto byte = static_cast<unsigned char>(text[i]);
        char32_t c = byte;
        int extra = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : byte >= 0xC0 ? 1 : 0;
        if (extra)
            c = byte & (0x3F >> extra);
        for (int k = 1; k <= extra && i + k < text.size(); ++k)
            c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        i += extra + 1;
        if (c >= 0x10000) {
            c -= 0x10000;
            result += static_cast<char16_t>(0xD800 + (c >> 10));
            result += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            result += static_cast<char16_t>(c);
        }
    }
    return result;
}

int32_t PointsToDevice(double points, int32_t dpi)
{
    return static_cast<int32_t>(points * dpi / kPointsPerInch + 0.5);
}

HFONT MakeFont(const Page& page, const char16_t* face, double points, int32_t weight = FW_NORMAL, bool italic = false,
    bool underline = false, bool strike = false)
{
    LOGFONTW font {};
    font.lfHeight = -PointsToDevice(points, page.Dpi);
    font.lfWeight = weight;
    font.lfItalic = italic;
    font.lfUnderline = underline;
    font.lfStrikeOut = strike;
    for (int i = 0; face[i] && i < LF_FACESIZE - 1; ++i)
        font.lfFaceName[i] = face[i];
    return PLW_CreateFontIndirectW(&font);
}

// Writes one line at the page's left margin plus indent and moves down.
int32_t Line(Page& page, HFONT font, std::string_view text, int32_t indent = 0, COLORREF color = 0)
{
    HGDIOBJ previous = PLW_SelectObject(page.Dc, font);
    TEXTMETRICW metrics {};
    PLW_GetTextMetrics(page.Dc, &metrics);
    std::u16string wide = Utf16(text);
    PLW_SetTextColor(page.Dc, color);
    PLW_ExtTextOut(page.Dc, page.Left + indent, page.Top + page.Y, 0, nullptr, wide.data(),
        static_cast<uint32_t>(wide.size()), nullptr);
    SIZE size {};
    PLW_GetTextExtentExPoint(page.Dc, wide.data(), static_cast<int32_t>(wide.size()), 0, nullptr, nullptr, &size);
    page.Y += metrics.tmHeight + metrics.tmExternalLeading;
    PLW_SelectObject(page.Dc, previous);
    return size.cx;
}

std::string Format(const char* format, double a, double b = 0, double c = 0, double d = 0)
{
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, format, a, b, c, d);
    return buffer;
}

void DrawTestPage(Page& page, const PLW_PAGESETUP& setup, bool usUnits)
{
    HDC dc = page.Dc;
    PLW_SetBkMode(dc, TRANSPARENT);
    HFONT title = MakeFont(page, u"Liberation Sans", 24, FW_BOLD);
    HFONT small = MakeFont(page, u"Liberation Sans", 9);
    Line(page, title, "Plotwise test page");

    int32_t paperWidth = PLW_GetDeviceCaps(dc, PHYSICALWIDTH);
    int32_t paperHeight = PLW_GetDeviceCaps(dc, PHYSICALHEIGHT);
    double unitsPerInch = usUnits ? kMilliInchPerInch : kHundredthsOfMillimetrePerInch;
    Line(page, small,
        Format("Paper %.2f x %.2f in (%.0f x %.0f dots)", static_cast<double>(paperWidth) / page.Dpi,
            static_cast<double>(paperHeight) / page.Dpi, paperWidth, paperHeight));
    Line(page, small, Format("Resolution %.0f dots per inch", page.Dpi));
    Line(page, small,
        Format("Margins left %.2f, top %.2f, right %.2f, bottom %.2f in", setup.rtMargin.left / unitsPerInch,
            setup.rtMargin.top / unitsPerInch, setup.rtMargin.right / unitsPerInch,
            setup.rtMargin.bottom / unitsPerInch));
    Line(page, small,
        usUnits ? "Locale units: U.S. (thousandths of an inch)" : "Locale units: metric (hundredths of a millimetre)");
    page.Y += PointsToDevice(12, page.Dpi);

    const char16_t* faces[] = { u"Liberation Sans", u"Liberation Serif", u"Liberation Mono" };
    for (const char16_t* face : faces) {
        for (double size : { 8.0, 10.0, 12.0, 18.0 }) {
            HFONT font = MakeFont(page, face, size);
            std::string name;
            for (const char16_t* c = face; *c; ++c)
                name += static_cast<char>(*c);
            const char* sample = size <= 10 ? " %.0f pt: The quick brown fox jumps over the lazy dog 0123456789"
                                            : " %.0f pt: Quick brown fox 0123";
            Line(page, font, name + Format(sample, size));
            PLW_DeleteObject(font);
        }
        HFONT bold = MakeFont(page, face, 12, FW_BOLD);
        HFONT italic = MakeFont(page, face, 12, FW_NORMAL, true);
        HFONT boldItalic = MakeFont(page, face, 12, FW_BOLD, true);
        HFONT underline = MakeFont(page, face, 12, FW_NORMAL, false, true);
        HFONT strike = MakeFont(page, face, 12, FW_NORMAL, false, false, true);
        int32_t x = 0;
        int32_t y = page.Y;
        for (auto [font, label] : { std::pair { bold, "Bold" }, { italic, "Italic" }, { boldItalic, "Bold italic" },
                 { underline, "Underlined" }, { strike, "Struck out" } }) {
            page.Y = y;
            x += Line(page, font, label, x) + PointsToDevice(12, page.Dpi);
            PLW_DeleteObject(font);
        }
        page.Y += PointsToDevice(6, page.Dpi);
    }

    HFONT body = MakeFont(page, u"Liberation Sans", 12);
    Line(page, body, "Other scripts: Ελληνικά, Русский, 日本語, 한국어");
    page.Y += PointsToDevice(6, page.Dpi);

    // Colour swatches with their names, each a filled rectangle with a black outline.
    struct Swatch {
        COLORREF Color;
        const char* Name;
    };
    const Swatch swatches[] = { { PLW_RGB(255, 0, 0), "Red" }, { PLW_RGB(0, 160, 0), "Green" },
        { PLW_RGB(0, 0, 255), "Blue" }, { PLW_RGB(255, 200, 0), "Yellow" }, { PLW_RGB(128, 128, 128), "Grey" } };
    int32_t swatchSize = page.Dpi / 2;
    int32_t swatchTop = page.Top + page.Y;
    HGDIOBJ oldPen = PLW_SelectObject(dc, PLW_GetStockObject(BLACK_PEN));
    HGDIOBJ oldBrush = PLW_SelectObject(dc, PLW_GetStockObject(WHITE_BRUSH));
    for (size_t i = 0; i < std::size(swatches); ++i) {
        HBRUSH brush = PLW_CreateSolidBrush(swatches[i].Color);
        PLW_SelectObject(dc, brush);
        int32_t left = page.Left + static_cast<int32_t>(i) * swatchSize * 3 / 2;
        PLW_Rectangle(dc, left, swatchTop, left + swatchSize, swatchTop + swatchSize);
        PLW_SelectObject(dc, PLW_GetStockObject(WHITE_BRUSH));
        PLW_DeleteObject(brush);
        page.Y = swatchTop - page.Top + swatchSize + PointsToDevice(2, page.Dpi);
        Line(page, small, swatches[i].Name, left - page.Left, swatches[i].Color);
    }
    page.Y += PointsToDevice(6, page.Dpi);

    // Text on an opaque background, and text clipped to a cell.
    PLW_SetBkMode(dc, OPAQUE);
    PLW_SetBkColor(dc, PLW_RGB(255, 255, 160));
    Line(page, body, "Opaque background behind this text");
    PLW_SetBkMode(dc, TRANSPARENT);
    PLW_SelectObject(dc, body);
    RECT cell
        = { page.Left, page.Top + page.Y, page.Left + page.Dpi, page.Top + page.Y + PointsToDevice(16, page.Dpi) };
    std::u16string clipped = Utf16("Clipped to a one-inch cell with a shaded background");
    PLW_SetBkColor(dc, PLW_RGB(220, 220, 220));
    PLW_ExtTextOut(dc, cell.left, cell.top, ETO_OPAQUE | ETO_CLIPPED, &cell, clipped.data(),
        static_cast<uint32_t>(clipped.size()), nullptr);
    page.Y += cell.bottom - cell.top + PointsToDevice(6, page.Dpi);

    // Lines of several widths and a one-inch ruler with tenth-inch ticks.
    for (int32_t width : { 1, 3, 6, 12 }) {
        LOGPEN logical { PS_SOLID, { width * page.Dpi / 300 + 1, 0 }, PLW_RGB(0, 0, 128) };
        HPEN pen = PLW_CreatePenIndirect(&logical);
        PLW_SelectObject(dc, pen);
        POINT points[] = { { page.Left, page.Top + page.Y }, { page.Left + 3 * page.Dpi, page.Top + page.Y } };
        PLW_Polyline(dc, points, 2);
        PLW_SelectObject(dc, PLW_GetStockObject(BLACK_PEN));
        PLW_DeleteObject(pen);
        page.Y += PointsToDevice(8, page.Dpi);
    }
    int32_t rulerY = page.Top + page.Y + PointsToDevice(10, page.Dpi);
    POINT ruler[] = { { page.Left, rulerY }, { page.Left + page.Dpi, rulerY } };
    PLW_Polyline(dc, ruler, 2);
    for (int tick = 0; tick <= 10; ++tick) {
        int32_t x = page.Left + tick * page.Dpi / 10;
        int32_t length = PointsToDevice(tick % 5 == 0 ? 10 : 5, page.Dpi);
        POINT mark[] = { { x, rulerY - length }, { x, rulerY } };
        PLW_Polyline(dc, mark, 2);
    }
    page.Y = rulerY - page.Top + PointsToDevice(4, page.Dpi);
    Line(page, small, "One inch");

    // The frame of the text area inside the margins.
    PLW_SelectObject(dc, PLW_GetStockObject(NULL_BRUSH));
    PLW_Rectangle(dc, page.Left, page.Top, page.Left + page.Width, page.Top + page.Height);
    PLW_SelectObject(dc, oldPen);
    PLW_SelectObject(dc, oldBrush);
    PLW_DeleteObject(title);
    PLW_DeleteObject(small);
    PLW_DeleteObject(body);
}

} // namespace

int main()
{
    if (PLW_GetVersion() < PLOTWISE_MINIMUM_VERSION || PLW_Init(u"Plotwise test page") != 0) {
        std::fprintf(stderr, "plotwise-testpage: the printing library cannot start\n");
        return PLW_STATUS_FAILED;
    }
    PLW_SetReportLevel(2);
    PLW_PAGESETUP setup {};
    setup.lStructSize = sizeof setup;
    setup.Flags = PLW_PSD_DEFAULT_FLAGS | PLW_PSD_QUICKPRINT;
    if (!PLW_PrintDlg(&setup)) {
        int32_t status = PLW_StatusCheck();
        PLW_UnInit();
        return status;
    }
    Page page;
    page.Dc = PLW_GetPrinterDC();
    page.Dpi = PLW_GetDeviceCaps(page.Dc, LOGPIXELSX);
    // The margins come back in the units of the locale, by the library's
    // own rule.
    bool usUnits = plotwise::LocaleMeasuresInUsUnits();
    double unitsPerInch = usUnits ? kMilliInchPerInch : kHundredthsOfMillimetrePerInch;
    int32_t offsetX = PLW_GetDeviceCaps(page.Dc, PHYSICALOFFSETX);
    int32_t offsetY = PLW_GetDeviceCaps(page.Dc, PHYSICALOFFSETY);
    auto toDevice = [&](int32_t margin) { return static_cast<int32_t>(margin * page.Dpi / unitsPerInch); };
    page.Left = std::max(0, toDevice(setup.rtMargin.left) - offsetX);
    page.Top = std::max(0, toDevice(setup.rtMargin.top) - offsetY);
    page.Width
        = PLW_GetDeviceCaps(page.Dc, PHYSICALWIDTH) - toDevice(setup.rtMargin.left) - toDevice(setup.rtMargin.right);
    page.Height
        = PLW_GetDeviceCaps(page.Dc, PHYSICALHEIGHT) - toDevice(setup.rtMargin.top) - toDevice(setup.rtMargin.bottom);
    DrawTestPage(page, setup, usUnits);
    PLW_EndPage(page.Dc);
    PLW_StartPage(page.Dc);
    PLW_EndDoc(page.Dc);
    int32_t status = PLW_StatusCheck();
    PLW_DeleteDC(page.Dc);
    PLW_UnInit();
    return status;
}
