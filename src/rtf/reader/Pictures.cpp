#include "Pictures.h"

#include "PrintJob.h"
#include "ReaderState.h"
#include "RtfReader.h"
#include "Source.h"
#include "TextFlow.h"
#include "Units.h"

#include <AppSettings.h>
#include <PrintingLibrary.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

namespace rtf {
namespace {

std::optional<PictureRecord> picture;

enum class PictField : std::uint8_t {
    Bin,
    DiBitmap,
    None,
    CropBottom,
    CropLeft,
    CropRight,
    CropTop,
    SourceHeight,
    GoalHeight,
    ScaleX,
    ScaleY,
    SourceWidth,
    GoalWidth,
    BitsPerPixel,
    Planes,
    BytesPerRow,
};

struct PictKeywordEntry {
    std::string_view Name;
    PictField Field;
};

constexpr std::array kPictKeywords = {
    PictKeywordEntry { "bin", PictField::Bin },
    PictKeywordEntry { "dibitmap", PictField::DiBitmap },
    PictKeywordEntry { "jpegblip", PictField::None },
    PictKeywordEntry { "piccropb", PictField::CropBottom },
    PictKeywordEntry { "piccropl", PictField::CropLeft },
    PictKeywordEntry { "piccropr", PictField::CropRight },
    PictKeywordEntry { "piccropt", PictField::CropTop },
    PictKeywordEntry { "pich", PictField::SourceHeight },
    PictKeywordEntry { "pichgoal", PictField::GoalHeight },
    PictKeywordEntry { "picscalex", PictField::ScaleX },
    PictKeywordEntry { "picscaley", PictField::ScaleY },
    PictKeywordEntry { "picw", PictField::SourceWidth },
    PictKeywordEntry { "picwgoal", PictField::GoalWidth },
    PictKeywordEntry { "pngblip", PictField::None },
    PictKeywordEntry { "wbmbitspixel", PictField::BitsPerPixel },
    PictKeywordEntry { "wbmplanes", PictField::Planes },
    PictKeywordEntry { "wbmwidthbytes", PictField::BytesPerRow },
};
static_assert(kPictKeywords.size() == 17);
static_assert(std::is_sorted(
    kPictKeywords.begin(), kPictKeywords.end(), [](const auto& a, const auto& b) { return a.Name < b.Name; }));

// A goal size in twips, scaled by the resize ratio.
std::int32_t ScaledGoal(std::int32_t twips)
{
    const core::AppSettings& settings = core::Settings();
    return static_cast<std::int32_t>(static_cast<std::int64_t>(twips) * settings.ScaleNum / settings.ScaleDen);
}

int ReadBinaryData(PictureRecord& record, std::int32_t size)
{
    // The count is checked against what the source still holds before any
    // memory is taken, so a huge count cannot allocate without bound.
    if (size < 0 || size > SourceLength - SourcePos)
        return kRtfEndOfFile;
    std::unique_ptr<std::uint8_t[]> data(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(size) + 2]());
    if (!data)
        return kRtfNoMemory;
    std::memcpy(data.get(), SourceData + SourcePos, static_cast<std::size_t>(size));
    SourcePos += size;
    record.Data = std::move(data);
    record.Fields.DataSize = size;
    record.HasData = true;
    return kRtfOk;
}

} // namespace

const std::optional<PictureRecord>& CurrentPicture()
{
    return picture;
}

void BeginPicture()
{
    if (!picture)
        picture.emplace();
    else if (picture->HasData)
        *picture = PictureRecord {};
}

int PictKeyword(std::string_view name, std::int32_t parameter)
{
    if (!picture)
        picture.emplace();
    const auto found = std::lower_bound(kPictKeywords.begin(), kPictKeywords.end(), name,
        [](const PictKeywordEntry& entry, std::string_view key) { return entry.Name < key; });
    if (found == kPictKeywords.end() || found->Name != name)
        return kRtfOk;
    PLW_PICTURE& fields = picture->Fields;
    switch (found->Field) {
    case PictField::Bin:
        return ReadBinaryData(*picture, parameter);
    case PictField::DiBitmap:
        fields.Type = 0;
        break;
    case PictField::None:
        break;
    case PictField::CropBottom:
        fields.CropBottom = parameter;
        break;
    case PictField::CropLeft:
        fields.CropLeft = parameter;
        break;
    case PictField::CropRight:
        fields.CropRight = parameter;
        break;
    case PictField::CropTop:
        fields.CropTop = parameter;
        break;
    case PictField::SourceHeight:
        fields.SourceHeight = parameter;
        break;
    case PictField::GoalHeight:
        fields.GoalHeight = ScaledGoal(parameter);
        break;
    case PictField::ScaleX:
        fields.ScaleX = parameter;
        break;
    case PictField::ScaleY:
        fields.ScaleY = parameter;
        break;
    case PictField::SourceWidth:
        fields.SourceWidth = parameter;
        break;
    case PictField::GoalWidth:
        fields.GoalWidth = ScaledGoal(parameter);
        break;
    case PictField::BitsPerPixel:
        fields.BitsPerPixel = parameter;
        break;
    case PictField::Planes:
        fields.Planes = parameter;
        break;
    case PictField::BytesPerRow:
        fields.BytesPerRow = parameter;
        break;
    }
    return kRtfOk;
}

void EndPicture()
{
    if (!picture || !picture->HasData)
        return;
    printengine::PrintJob& job = printengine::Job();
    const std::int32_t notedPenY = job.PenY;
    printengine::PutFlowChar(0);
    job.PenY = notedPenY;

    const std::int32_t width = printengine::TwipsToDevice(picture->Fields.GoalWidth);
    const std::int32_t height = printengine::TwipsToDevice(picture->Fields.GoalHeight);
    std::int32_t offset = 0;
    switch (printengine::CurrentParaFormat().Alignment) {
    case printengine::kAlignRight:
        offset = job.ColumnWidth - width;
        break;
    case printengine::kAlignCentre:
        offset = (job.ColumnWidth - width) / 2;
        break;
    default:
        break;
    }
    const std::int32_t shift = job.PenY - printengine::Flow().ParagraphEndY >= height ? height : 0;
    picture->Fields.Data = picture->Data.get();
    if (job.PrinterDc != nullptr)
        PLW_DrawPictIndirect(job.PrinterDc, &picture->Fields, job.OriginX + offset, job.OriginY + job.PenY - shift);
    job.PenX = offset + width;
    job.PenY += shift;
    printengine::Flow().ParagraphEndY = job.PenY;
    picture.reset();
}

void ReleasePicture()
{
    picture.reset();
}

} // namespace rtf
