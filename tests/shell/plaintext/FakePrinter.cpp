#include "FakePrinter.h"

#include "PrintingLibrary.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <type_traits>

namespace fakeprinter {
namespace {

constexpr int kPageWidth = 850;
constexpr int kPageHeight = 1100;
constexpr std::int32_t kMarginThousandths = 750;

struct Font {
    LOGFONTW Logical {};
};

State state;
std::vector<std::unique_ptr<Font>> fonts;
Font* selected = nullptr;
int printerDcTag;
int stockTag;

// What an export the fake does not model answers: success, and a handle
// that is not null.
template <class Result> Result Succeeded()
{
    if constexpr (std::is_pointer_v<Result>)
        return reinterpret_cast<Result>(&stockTag);
    else if constexpr (!std::is_void_v<Result>)
        return 1;
}

Font* AsFont(HGDIOBJ object)
{
    for (auto& font : fonts)
        if (reinterpret_cast<HGDIOBJ>(font.get()) == object)
            return font.get();
    return nullptr;
}

int FontHeight()
{
    if (!selected)
        return 10;
    int height = std::abs(selected->Logical.lfHeight);
    return height == 0 ? 10 : height;
}

int CharWidth()
{
    return std::max(1, FontHeight() / 2);
}

int32_t PLW_GetVersion()
{
    return PLOTWISE_MINIMUM_VERSION;
}
int32_t PLW_Init(const PLW_WCHAR*)
{
    ++state.Inits;
    return 0;
}
int32_t PLW_PrintDlg(PLW_PAGESETUP* setup)
{
    ++state.PrintDialogs;
    setup->rtMargin = { kMarginThousandths, kMarginThousandths, kMarginThousandths, kMarginThousandths };
    return state.PrintDialogResult;
}
HDC PLW_GetPrinterDC()
{
    return state.PrintDialogResult ? reinterpret_cast<HDC>(&printerDcTag) : nullptr;
}
int32_t PLW_GetDeviceCaps(HDC, int32_t index)
{
    switch (index) {
    case LOGPIXELSX:
        return kDpi;
    case PHYSICALWIDTH:
        return kPageWidth;
    case PHYSICALHEIGHT:
        return kPageHeight;
    default:
        return 0;
    }
}
HGDIOBJ PLW_SelectObject(HDC, HGDIOBJ object)
{
    Font* previous = selected;
    if (Font* font = AsFont(object))
        selected = font;
    return reinterpret_cast<HGDIOBJ>(previous ? previous : reinterpret_cast<Font*>(&stockTag));
}
int32_t PLW_GetTextMetrics(HDC, TEXTMETRICW* metrics)
{
    *metrics = {};
    metrics->tmHeight = FontHeight();
    metrics->tmAscent = FontHeight() * 4 / 5;
    metrics->tmDescent = metrics->tmHeight - metrics->tmAscent;
    metrics->tmAveCharWidth = CharWidth();
    metrics->tmMaxCharWidth = CharWidth();
    metrics->tmWeight = selected ? selected->Logical.lfWeight : FW_NORMAL;
    return 1;
}
int32_t PLW_GetTextExtentExPoint(
    HDC, const PLW_WCHAR*, int32_t count, int32_t maxExtent, int32_t* fit, int32_t* dx, SIZE* size)
{
    int width = CharWidth();
    int fits = 0;
    for (int i = 0; i < count; ++i) {
        if (dx)
            dx[i] = (i + 1) * width;
        if ((i + 1) * width <= maxExtent)
            fits = i + 1;
    }
    if (fit)
        *fit = fits;
    if (size)
        *size = { count * width, FontHeight() };
    return 1;
}
int32_t PLW_ExtTextOut(
    HDC, int32_t x, int32_t y, uint32_t, const RECT*, const PLW_WCHAR* text, uint32_t count, const int32_t*)
{
    DrawnText drawn;
    drawn.Page = state.PagesEnded;
    drawn.X = x;
    drawn.Y = y;
    drawn.Text.assign(text, count);
    if (selected) {
        drawn.Face = selected->Logical.lfFaceName;
        drawn.Bold = selected->Logical.lfWeight >= FW_SEMIBOLD;
        drawn.Italic = selected->Logical.lfItalic != 0;
    }
    drawn.Height = FontHeight();
    state.Texts.push_back(std::move(drawn));
    return 1;
}
int32_t PLW_EndPage(HDC)
{
    ++state.PagesEnded;
    return 1;
}
int32_t PLW_EndDoc(HDC)
{
    ++state.Documents;
    return 1;
}
int32_t PLW_StatusCheck()
{
    return state.Status;
}
void PLW_UnInit()
{
    ++state.UnInits;
}
HFONT PLW_CreateFontIndirectW(const LOGFONTW* logical)
{
    auto font = std::make_unique<Font>();
    font->Logical = *logical;
    fonts.push_back(std::move(font));
    return reinterpret_cast<HFONT>(fonts.back().get());
}
int32_t PLW_GetTextFaceW(HDC, int32_t count, PLW_WCHAR* face)
{
    std::u16string name = selected ? std::u16string(selected->Logical.lfFaceName) : u"";
    if (count <= 0)
        return 0;
    std::size_t copied = std::min<std::size_t>(name.size(), static_cast<std::size_t>(count - 1));
    std::copy_n(name.begin(), copied, face);
    face[copied] = 0;
    return static_cast<int32_t>(copied);
}
int32_t PLW_EnumFontsW(HDC, const PLW_WCHAR*, PLW_FONTENUMPROC proc, void* data)
{
    int32_t result = 1;
    for (const EnumeratedFont& font : state.Fonts) {
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

State& Fake()
{
    return state;
}

void InstallFakePrinter()
{
    state = State {};
    fonts.clear();
    selected = nullptr;
#define FAKE_SUCCEED(ret, name, params) ::name = [](auto...) -> ret { return Succeeded<ret>(); };
    PLOTWISE_FUNCTIONS(FAKE_SUCCEED)
#undef FAKE_SUCCEED
    // The exports the fake models; each carries the name of its export.
    ::PLW_GetVersion = &PLW_GetVersion;
    ::PLW_Init = &PLW_Init;
    ::PLW_PrintDlg = &PLW_PrintDlg;
    ::PLW_GetPrinterDC = &PLW_GetPrinterDC;
    ::PLW_GetDeviceCaps = &PLW_GetDeviceCaps;
    ::PLW_SelectObject = &PLW_SelectObject;
    ::PLW_GetTextMetrics = &PLW_GetTextMetrics;
    ::PLW_GetTextExtentExPoint = &PLW_GetTextExtentExPoint;
    ::PLW_ExtTextOut = &PLW_ExtTextOut;
    ::PLW_EndPage = &PLW_EndPage;
    ::PLW_EndDoc = &PLW_EndDoc;
    ::PLW_StatusCheck = &PLW_StatusCheck;
    ::PLW_UnInit = &PLW_UnInit;
    ::PLW_CreateFontIndirectW = &PLW_CreateFontIndirectW;
    ::PLW_GetTextFaceW = &PLW_GetTextFaceW;
    ::PLW_EnumFontsW = &PLW_EnumFontsW;
}

void RemoveFakePrinter()
{
#define FAKE_UNBIND(ret, name, params) ::name = nullptr;
    PLOTWISE_FUNCTIONS(FAKE_UNBIND)
#undef FAKE_UNBIND
    fonts.clear();
    selected = nullptr;
}

std::u16string PrintedText()
{
    std::u16string out;
    const DrawnText* previous = nullptr;
    for (const DrawnText& drawn : state.Texts) {
        if (previous) {
            if (drawn.Page != previous->Page)
                out += u'\f';
            else if (drawn.Y != previous->Y)
                out += u'\n';
        }
        out += drawn.Text;
        previous = &drawn;
    }
    return out;
}

} // namespace fakeprinter
