// The exported calls of the printing library. Each checks its handles and
// arguments and then works on the one job (Job.h) or a screen context.

#include "plotwise/plotwise.h"

#include "Fonts.h"
#include "Gdi.h"
#include "Job.h"
#include "Picture.h"
#include "PrintDialog.h"
#include "Queues.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <unordered_set>
#include <utility>

using namespace plotwise;

namespace {

constexpr int32_t kScreenDpi = 96;
constexpr uint32_t kPageSetupSize = 68;
constexpr uint32_t kTrueTypeFontType = 4;
constexpr COLORREF kInvalidColor = 0xFFFFFFFF;
// Longest text and point list one call takes; longer ones are refused.
constexpr int64_t kMaximumTextUnits = 1 << 20;
constexpr int32_t kMaximumPoints = 1 << 20;
constexpr size_t kMaximumTitleUnits = 1024;
// GDI capability indices beyond those of the interface.
constexpr int32_t kHorzSize = 4;
constexpr int32_t kVertSize = 6;
constexpr int32_t kHorzRes = 8;
constexpr int32_t kVertRes = 10;

std::unordered_set<HDC>& ScreenContexts()
{
    static std::unordered_set<HDC> contexts;
    return contexts;
}

// The context behind a handle: the job's printer context or a live screen
// context; null for anything else.
PLW_DeviceContext* LiveContext(HDC dc)
{
    if (!dc)
        return nullptr;
    Job& job = CurrentJob();
    if (job.Dc && job.Dc.get() == dc)
        return dc;
    return ScreenContexts().count(dc) ? dc : nullptr;
}

std::u16string BoundedText(const PLW_WCHAR* text, size_t limit)
{
    std::u16string result;
    for (size_t i = 0; text && i < limit && text[i]; ++i)
        result += text[i];
    return result;
}

// Calls visit(glyph, start, end) for every character of text in order, with
// the UTF-16 units [start, end) the character takes: two for a surrogate
// pair, so fits never split a pair.
template <typename Visit> void ForEachGlyph(Font& font, const PLW_WCHAR* text, size_t count, Visit visit)
{
    size_t position = 0;
    while (position < count) {
        const size_t start = position;
        const PlacedGlyph glyph = font.Glyph(NextCharacter(text, count, position));
        visit(glyph, start, position);
    }
}

template <typename Op> void AddOp(PLW_DeviceContext& dc, Op&& op)
{
    if (!dc.Printer)
        return;
    CurrentJob().Current.Ops.emplace_back(std::forward<Op>(op));
}

} // namespace

int32_t PLW_Init(const PLW_WCHAR* title)
{
    Job& job = CurrentJob();
    CloseJob(job);
    int32_t reportLevel = job.ReportLevel;
    job = Job {};
    job.ReportLevel = reportLevel;
    job.Initialised = true;
    job.Title = Utf16ToUtf8(BoundedText(title, kMaximumTitleUnits));
    job.Setup = LoadPrintSetup();
    ChooseDefaultQueue(job.Setup);
    return 0;
}

void PLW_SetReportLevel(int32_t level)
{
    CurrentJob().ReportLevel = level;
}

int32_t PLW_PrintDlg(PLW_PAGESETUP* setup)
{
    Job& job = CurrentJob();
    if (!job.Initialised) {
        job.Status = PLW_STATUS_FAILED;
        return 0;
    }
    size_t start = 0;
    const std::string& warnings = job.Setup.Warnings;
    while (start < warnings.size()) {
        size_t end = warnings.find('\n', start);
        Report(job, warnings.substr(start, end - start));
        start = end == std::string::npos ? warnings.size() : end + 1;
    }
    // A destination that cannot be honoured fails the job before anything
    // prints, rather than sending the pages somewhere the caller did not ask.
    if (!job.Setup.OutputError.empty()) {
        Report(job, job.Setup.OutputError);
        job.Dialog = DialogOutcome::Failed;
        job.Status = PLW_STATUS_FAILED;
        return 0;
    }
    if (!setup || setup->lStructSize != kPageSetupSize) {
        Report(job, "the page setup record is not 68 bytes long");
        job.Dialog = DialogOutcome::Failed;
        job.Status = PLW_STATUS_FAILED;
        return 0;
    }
    // PLOTWISE_DIALOG stands in for the user (tests): no dialog is shown.
    const char* answer = std::getenv("PLOTWISE_DIALOG");
    if (answer && *answer == '\0')
        answer = nullptr;
    if (answer && std::strcmp(answer, "cancel") == 0) {
        job.Dialog = DialogOutcome::Cancelled;
        job.Status = PLW_STATUS_CANCELLED;
        return 0;
    }
    if (answer && std::strcmp(answer, "fail") == 0) {
        Report(job, "the print dialog failed");
        job.Dialog = DialogOutcome::Failed;
        job.Status = PLW_STATUS_FAILED;
        return 0;
    }
    // Quick print never asks; without a display the setup is used as it
    // stands.
    if (!answer && !(setup->Flags & PLW_PSD_QUICKPRINT) && ShowPrintDialog(job) == DialogOutcome::Cancelled) {
        job.Dialog = DialogOutcome::Cancelled;
        job.Status = PLW_STATUS_CANCELLED;
        return 0;
    }
    const Margins& margins = job.Setup.Margins;
    auto convert = [&](int32_t micrometres) {
        return job.Setup.UsUnits ? MicrometresToMilliInch(micrometres)
                                 : MicrometresToHundredthsOfMillimetre(micrometres);
    };
    setup->rtMargin = { convert(margins.left), convert(margins.top), convert(margins.right), convert(margins.bottom) };
    job.Dialog = DialogOutcome::Accepted;
    return 1;
}

HDC PLW_GetPrinterDC(void)
{
    Job& job = CurrentJob();
    if (!job.Initialised || job.Dialog == DialogOutcome::Cancelled || job.Dialog == DialogOutcome::Failed)
        return nullptr;
    if (job.Dc)
        return job.Dc.get();
    PrintSetup& setup = job.Setup;
    PageGeometry& geometry = job.Geometry;
    // A queue prints on its own default paper unless the user named one.
    QueueMedia media;
    const bool queueMedia = setup.Destination == DestinationKind::Cups && ReadQueueMedia(setup.CupsQueue, setup.Dpi, media);
    if (queueMedia && !setup.PaperGiven) {
        setup.PaperName.clear();
        setup.PaperWidth = media.PaperWidth;
        setup.PaperHeight = media.PaperHeight;
    }
    const int32_t paperWidth = setup.Landscape ? setup.PaperHeight : setup.PaperWidth;
    const int32_t paperHeight = setup.Landscape ? setup.PaperWidth : setup.PaperHeight;
    geometry.Dpi = setup.Dpi;
    geometry.Width = MicrometresToDevice(paperWidth, setup.Dpi);
    geometry.Height = MicrometresToDevice(paperHeight, setup.Dpi);
    constexpr double kPointsPerInch = 72;
    geometry.WidthPoints = paperWidth * kPointsPerInch / kMicrometresPerInch;
    geometry.HeightPoints = paperHeight * kPointsPerInch / kMicrometresPerInch;
    if (queueMedia) {
        // The queue's margins are those of the upright paper.
        geometry.OffsetX = setup.Landscape ? media.OffsetY : media.OffsetX;
        geometry.OffsetY = setup.Landscape ? media.OffsetX : media.OffsetY;
    }
    job.Output = CreateDestination(setup, geometry, job.Title);
    std::string error;
    if (!job.Output->Begin(error))
        FailJob(job, error);
    job.Dc = std::make_unique<PLW_DeviceContext>();
    ResetDeviceContext(*job.Dc, true, setup.Dpi);
    job.Started = std::chrono::steady_clock::now();
    return job.Dc.get();
}

int32_t PLW_GetDeviceCaps(HDC handle, int32_t index)
{
    PLW_DeviceContext* dc = LiveContext(handle);
    if (!dc)
        return 0;
    if (!dc->Printer) {
        constexpr int32_t kScreenWidth = 1024;
        constexpr int32_t kScreenHeight = 768;
        switch (index) {
        case LOGPIXELSX:
        case LOGPIXELSY:
            return kScreenDpi;
        case kHorzRes:
            return kScreenWidth;
        case kVertRes:
            return kScreenHeight;
        default:
            return 0;
        }
    }
    const PageGeometry& geometry = CurrentJob().Geometry;
    switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY:
        return geometry.Dpi;
    case PHYSICALWIDTH:
        return geometry.Width;
    case PHYSICALHEIGHT:
        return geometry.Height;
    case PHYSICALOFFSETX:
        return geometry.OffsetX;
    case PHYSICALOFFSETY:
        return geometry.OffsetY;
    case kHorzRes:
        return std::max(0, geometry.Width - 2 * geometry.OffsetX);
    case kVertRes:
        return std::max(0, geometry.Height - 2 * geometry.OffsetY);
    case kHorzSize:
        return static_cast<int32_t>(static_cast<int64_t>(geometry.Width) * 254 / (10 * geometry.Dpi));
    case kVertSize:
        return static_cast<int32_t>(static_cast<int64_t>(geometry.Height) * 254 / (10 * geometry.Dpi));
    default:
        return 0;
    }
}

int32_t PLW_SetBkMode(HDC handle, int32_t mode)
{
    PLW_DeviceContext* dc = LiveContext(handle);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE))
        return 0;
    int32_t previous = dc->BkMode;
    dc->BkMode = mode;
    return previous;
}

HGDIOBJ PLW_SelectObject(HDC handle, HGDIOBJ object)
{
    PLW_DeviceContext* dc = LiveContext(handle);
    if (!dc)
        return nullptr;
    return SelectGdiObject(*dc, object);
}

COLORREF PLW_SetTextColor(HDC handle, COLORREF color)
{
    PLW_DeviceContext* dc = LiveContext(handle);
    if (!dc)
        return kInvalidColor;
    COLORREF previous = dc->TextColor;
    dc->TextColor = color & 0x00FFFFFF;
    return previous;
}

COLORREF PLW_SetBkColor(HDC handle, COLORREF color)
{
    PLW_DeviceContext* dc = LiveContext(handle);
    if (!dc)
        return kInvalidColor;
    COLORREF previous = dc->BkColor;
    dc->BkColor = color & 0x00FFFFFF;
    return previous;
}

int32_t PLW_GetTextMetrics(HDC handle, TEXTMETRICW* metrics)
{
    PLW_DeviceContext* dc = LiveContext(handle);
    if (!dc || !metrics)
        return 0;
    const std::shared_ptr<Font>& font = SelectedFont(*dc);
    if (!font)
        return 0;
    font->FillTextMetrics(*metrics, dc->Dpi);
    return 1;
}

int32_t PLW_GetTextExtentExPoint(
    HDC handle, const PLW_WCHAR* text, int32_t count, int32_t maxExtent, int32_t* fit, int32_t* dx, SIZE* size)
{
    PLW_DeviceContext* dc = LiveContext(handle);
    if (!dc || count < 0 || count > kMaximumTextUnits || (count > 0 && !text))
        return 0;
    const std::shared_ptr<Font>& font = SelectedFont(*dc);
    if (!font)
        return 0;
    int64_t extent = 0;
    int32_t fitting = 0;
    const int64_t room = maxExtent < 0 ? INT64_MAX : maxExtent;
    if (dx) {
        ForEachGlyph(*font, text, static_cast<size_t>(count), [&](const PlacedGlyph& glyph, size_t start, size_t end) {
            extent += glyph.Advance;
            if (extent <= room)
                fitting = static_cast<int32_t>(end);
            std::fill(dx + start, dx + end, static_cast<int32_t>(std::min<int64_t>(extent, INT32_MAX)));
        });
    } else {
        // Layouts measure every line this way, most of them more than once.
        Font& measured = *font;
        const size_t units = static_cast<size_t>(count);
        size_t position = 0;
        while (position < units) {
            if (const PlacedGlyph* found = measured.FoundGlyph(text[position])) {
                extent += found->Advance;
                ++position;
            } else {
                extent += measured.Glyph(NextCharacter(text, units, position)).Advance;
            }
            fitting = extent <= room ? static_cast<int32_t>(position) : fitting;
        }
    }
    if (fit)
        *fit = fitting;
    if (size)
        *size = { static_cast<int32_t>(std::min<int64_t>(extent, INT32_MAX)), font->Height() };
    return 1;
}

int32_t PLW_ExtTextOut(HDC handle, int32_t x, int32_t y, uint32_t options, const RECT* rect, const PLW_WCHAR* text,
    uint32_t count, const int32_t* dx)
{
    PLW_DeviceContext* dc = LiveContext(handle);
    if (!dc || count > kMaximumTextUnits || (count > 0 && !text))
        return 0;
    const std::shared_ptr<Font>& font = SelectedFont(*dc);
    if (!font)
        return 0;
    bool paintsRect = rect && (options & ETO_OPAQUE);
    if (count == 0 && !paintsRect)
        return 1;
    TextOp op;
    op.X = x;
    op.Y = y;
    op.Options = options;
    if (rect) {
        op.HasRect = true;
        op.Rect = *rect;
    }
    op.Text.assign(text, text + count);
    if (dx)
        op.Dx.assign(dx, dx + count);
    op.TextFont = font;
    op.TextColor = dc->TextColor;
    op.BkColor = dc->BkColor;
    op.BkMode = dc->BkMode;
    op.Glyphs.reserve(count);
    int64_t position = 0;
    if (dx) {
        ForEachGlyph(*font, text, count, [&](const PlacedGlyph& glyph, size_t start, size_t end) {
            op.Glyphs.push_back({ glyph.Face, glyph.Index, static_cast<int32_t>(position) });
            for (size_t unit = start; unit < end; ++unit)
                position += dx[unit];
            position = std::clamp<int64_t>(position, INT32_MIN / 2, INT32_MAX / 2);
        });
    } else {
        Font& drawn = *font;
        size_t unit = 0;
        while (unit < count) {
            const PlacedGlyph* found = drawn.FoundGlyph(text[unit]);
            const PlacedGlyph glyph = found ? *found : drawn.Glyph(NextCharacter(text, count, unit));
            unit += found ? 1 : 0;
            op.Glyphs.push_back({ glyph.Face, glyph.Index, static_cast<int32_t>(position) });
            position = std::clamp<int64_t>(position + glyph.Advance, INT32_MIN / 2, INT32_MAX / 2);
        }
    }
    op.Width = static_cast<int32_t>(position);
    AddOp(*dc, std::move(op));
    return 1;
}

int32_t PLW_Rectangle(HDC handle, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    PLW_DeviceContext* dc = LiveContext(handle);
    if (!dc)
        return 0;
    AddOp(*dc, RectangleOp { { left, top, right, bottom }, dc->Pen, dc->Brush });
    return 1;
}

int32_t PLW_Polyline(HDC handle, const POINT* points, int32_t count)
{
    PLW_DeviceContext* dc = LiveContext(handle);
    if (!dc || !points || count < 2 || count > kMaximumPoints)
        return 0;
    AddOp(*dc, PolylineOp { std::vector<POINT>(points, points + count), dc->Pen });
    return 1;
}

// 2^20 dots: over 1,700 inches at 600 dots per inch.
constexpr int32_t kMaximumPictureExtent = 1 << 20;

int32_t PLW_DrawPictIndirect(HDC handle, const PLW_PICTURE* picture, int32_t x, int32_t y)
{
    PLW_DeviceContext* dc = LiveContext(handle);
    if (!dc || !picture || !picture->Data || picture->DataSize <= 0)
        return 0;
    PictureOp op;
    op.X = x;
    op.Y = y;
    op.Type = picture->Type;
    op.DataSize = picture->DataSize;
    op.Image = DecodePicture(*picture);
    PictureDeviceSize(*picture, op.Image.get(), dc->Dpi, op.Width, op.Height);
    // A picture larger than any page could ever be is beyond the renderer's
    // coordinates and would fail the whole job; it is not drawn.
    if (op.Width > kMaximumPictureExtent || op.Height > kMaximumPictureExtent)
        return 0;
    bool drawn = op.Image != nullptr;
    AddOp(*dc, std::move(op));
    return drawn ? 1 : 0;
}

int32_t PLW_EndPage(HDC handle)
{
    PLW_DeviceContext* dc = LiveContext(handle);
    if (!dc || !dc->Printer)
        return 0;
    EmitCurrentPage(CurrentJob());
    return 1;
}

int32_t PLW_StartPage(HDC handle)
{
    PLW_DeviceContext* dc = LiveContext(handle);
    if (!dc || !dc->Printer)
        return 0;
    return 1;
}

int32_t PLW_EndDoc(HDC handle)
{
    PLW_DeviceContext* dc = LiveContext(handle);
    if (!dc || !dc->Printer)
        return 0;
    Job& job = CurrentJob();
    if (job.Ended)
        return 0;
    return FinishJob(job) ? 1 : 0;
}

int32_t PLW_StatusCheck(void)
{
    return CurrentJob().Status;
}

int32_t PLW_DeleteDC(HDC handle)
{
    PLW_DeviceContext* dc = LiveContext(handle);
    if (!dc)
        return 0;
    if (!dc->Printer) {
        ScreenContexts().erase(handle);
        delete dc;
        return 1;
    }
    Job& job = CurrentJob();
    // A document deleted before it ended is abandoned: nothing is printed.
    if (!job.Ended && job.Status == PLW_STATUS_PRINTED)
        job.Status = PLW_STATUS_CANCELLED;
    CloseJob(job);
    return 1;
}

void PLW_UnInit(void)
{
    Job& job = CurrentJob();
    if (job.Dc && !job.Ended && job.Status == PLW_STATUS_PRINTED)
        job.Status = PLW_STATUS_CANCELLED;
    CloseJob(job);
    job.Initialised = false;
}

HFONT PLW_CreateFontIndirectW(const LOGFONTW* font)
{
    return font ? NewFont(*font) : nullptr;
}

HPEN PLW_CreatePenIndirect(const LOGPEN* pen)
{
    return pen ? NewPen(*pen) : nullptr;
}

HBRUSH PLW_CreateSolidBrush(COLORREF color)
{
    return NewBrush(color);
}

HGDIOBJ PLW_GetStockObject(int32_t index)
{
    return StockObject(index);
}

int32_t PLW_DeleteObject(HGDIOBJ object)
{
    return DeleteGdiObject(object) ? 1 : 0;
}

int32_t PLW_GetTextFaceW(HDC handle, int32_t count, PLW_WCHAR* face)
{
    PLW_DeviceContext* dc = LiveContext(handle);
    if (!dc)
        return 0;
    const std::shared_ptr<Font>& font = SelectedFont(*dc);
    if (!font)
        return 0;
    const std::u16string& name = font->FaceName();
    if (!face)
        return static_cast<int32_t>(name.size() + 1);
    if (count <= 0)
        return 0;
    size_t copied = std::min(name.size(), static_cast<size_t>(count - 1));
    std::copy_n(name.begin(), copied, face);
    face[copied] = 0;
    return static_cast<int32_t>(copied + 1);
}

HDC PLW_GetScreenDC(void)
{
    auto* dc = new PLW_DeviceContext();
    ResetDeviceContext(*dc, false, kScreenDpi);
    ScreenContexts().insert(dc);
    return dc;
}

int32_t PLW_ReleaseScreenDC(HDC handle)
{
    if (!handle || !ScreenContexts().count(handle))
        return 0;
    ScreenContexts().erase(handle);
    delete handle;
    return 1;
}

int32_t PLW_EnumFontsW(HDC handle, const PLW_WCHAR* face, PLW_FONTENUMPROC proc, void* data)
{
    if (!LiveContext(handle) || !proc)
        return 0;
    std::string wanted = face ? Utf16ToUtf8(BoundedText(face, LF_FACESIZE)) : std::string();
    auto lowered = [](std::string text) {
        std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
        return text;
    };
    int32_t result = 0;
    constexpr uint8_t kFixedPitchModern = 0x31;
    constexpr uint8_t kVariablePitch = 0x02;
    for (const FamilyInfo& family : EnumerableFamilies()) {
        if (!wanted.empty() && lowered(family.Family) != lowered(wanted))
            continue;
        std::u16string name = Utf8ToUtf16(family.Family);
        // A family whose name does not fit a LOGFONTW could not be asked for.
        if (name.size() >= LF_FACESIZE || !family.Scalable)
            continue;
        LOGFONTW logical {};
        logical.lfWeight = FW_NORMAL;
        logical.lfCharSet = family.CharSet;
        logical.lfPitchAndFamily = family.FixedPitch ? kFixedPitchModern : kVariablePitch;
        std::copy(name.begin(), name.end(), logical.lfFaceName);
        TEXTMETRICW metrics {};
        metrics.tmWeight = FW_NORMAL;
        metrics.tmCharSet = family.CharSet;
        metrics.tmPitchAndFamily = static_cast<uint8_t>(family.FixedPitch ? 0x36 : 0x07);
        result = proc(&logical, &metrics, kTrueTypeFontType, data);
        if (result == 0)
            break;
    }
    return result;
}
