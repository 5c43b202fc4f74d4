// Reads arbitrary bytes as a workbook, then walks every sheet's records and
// formats its numbers the way the printer does.
#include "CellValueFormat.h"
#include "MessageBox.h"
#include "PxlWorkbook.h"
#include "WorkbookReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

namespace {

int Narrow(const char16_t*, int count, int maxWidth)
{
    return count < maxWidth / 8 ? count : maxWidth / 8;
}

void WalkSheet(const spreadsheet::SheetInfo& sheet)
{
    using namespace spreadsheet;
    std::size_t offset = sheet.StartRecord;
    for (;;) {
        std::span<const std::uint8_t> record = RecordAt(offset);
        if (record.empty())
            return;
        RecordSize size = RecordLength(record);
        if (!size.Valid || record[0] == static_cast<std::uint8_t>(PxlRecordType::SheetEnd))
            return;
        record = record.first(size.Total());
        if (record[0] == static_cast<std::uint8_t>(PxlRecordType::NumberCell)) {
            const std::uint16_t formatIndex = static_cast<std::uint16_t>(record[4] | (record[5] << 8));
            std::span<const std::uint8_t> format = CellFormatAt(formatIndex);
            std::uint16_t number = static_cast<std::uint16_t>(format[3] | (format[4] << 8));
            (void)FontAt(static_cast<std::uint16_t>(format[1] | (format[2] << 8)));
            double value = 0;
            __builtin_memcpy(&value, record.data() + 6, sizeof value);
            CellText text;
            FormatNumberCell(value, number, CellRect { 0, 0, 400, 20 }, text);
        } else if (record[0] == static_cast<std::uint8_t>(PxlRecordType::TextCell)) {
            (void)RecordText(record, field::kTextCellText, static_cast<std::size_t>(record[6] | (record[7] << 8)));
        } else if (record[0] == static_cast<std::uint8_t>(PxlRecordType::FormulaString)) {
            (void)RecordText(record, field::kFormulaStringText, static_cast<std::size_t>(record[1] | (record[2] << 8)));
        }
        offset += size.Total();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool initialised = [] {
        setenv("LC_ALL", "en_US.UTF-8", 1);
        platform::SetMessageBoxHost([](std::u16string_view, std::u16string_view) { return platform::IDOK; });
        spreadsheet::SetCellTextMeasure(Narrow);
        return true;
    }();
    (void)initialised;
    if (spreadsheet::ReadWorkbookFromBytes(std::span(data, size), u"fuzz.pxl")) {
        for (const spreadsheet::SheetInfo& sheet : spreadsheet::Workbook().Sheets) {
            if (sheet.StartRecord != spreadsheet::SheetInfo::kNoRecord)
                WalkSheet(sheet);
        }
    }
    spreadsheet::ReleaseWorkbook();
    return 0;
}
