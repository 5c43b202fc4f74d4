#include "PxlRecords.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace spreadsheet {
namespace {

struct LengthRow {
    const char* Name;
    std::vector<std::uint8_t> Record;
    bool Valid;
    std::uint32_t Fixed;
    std::uint32_t Payload;
};

std::vector<std::uint8_t> Padded(std::vector<std::uint8_t> head, std::size_t size)
{
    head.resize(size, 0);
    return head;
}

TEST(RecordLengthTest, FixedLengthAndPayloadByKind)
{
    const LengthRow rows[] = {
        { "blank cell", Padded({ 1 }, 6), true, 6, 0 },
        { "number cell", Padded({ 3 }, 14), true, 14, 0 },
        { "text cell of 5 characters skips 10 bytes", Padded({ 4, 0, 0, 0, 0, 0, 5, 0 }, 18), true, 8, 10 },
        { "text cell of length 0", Padded({ 4 }, 8), true, 8, 0 },
        { "text cell count kept to 16 bits", Padded({ 4, 0, 0, 0, 0, 0, 0x01, 0x80 }, 10), true, 8, 2 },
        { "formula cell counts bytes", Padded({ 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0 }, 20), true, 17, 3 },
        { "formula string uses its low length byte", Padded({ 7, 2, 1 }, 7), true, 3, 4 },
        { "font name length at 15", Padded({ 49, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2 }, 20), true, 16, 4 },
        { "sheet entry name length at 2", Padded({ 133, 0, 3 }, 9), true, 3, 6 },
        { "number format", Padded({ 30, 4 }, 10), true, 2, 8 },
        { "kind 5 counts sixes", Padded({ 27, 2, 0 }, 15), true, 3, 12 },
        { "kind 7 adds characters and bytes", Padded({ 24, 0, 0, 2, 3, 0, 0, 0 }, 15), true, 8, 7 },
        { "cell format", Padded({ 224 }, 23), true, 23, 0 },
        { "sheet end", { 10 }, true, 1, 0 },
        { "skipped 161", Padded({ 161 }, 35), true, 35, 0 },
        { "unknown type", Padded({ 2 }, 20), false, 0, 0 },
        { "type 255", Padded({ 255 }, 20), false, 0, 0 },
        { "fixed part cut short", Padded({ 3 }, 13), false, 14, 0 },
        { "payload cut short", Padded({ 4, 0, 0, 0, 0, 0, 5, 0 }, 17), false, 8, 10 },
        { "count byte missing", { 30 }, false, 0, 0 },
        { "empty", {}, false, 0, 0 },
    };
    for (const LengthRow& row : rows) {
        SCOPED_TRACE(row.Name);
        RecordSize size = RecordLength(row.Record);
        EXPECT_EQ(size.Valid, row.Valid);
        if (row.Valid) {
            EXPECT_EQ(size.Fixed, row.Fixed);
            EXPECT_EQ(size.Payload, row.Payload);
        }
    }
}

TEST(RecordLengthTest, FieldsStopAtTheRecordEnd)
{
    const std::vector<std::uint8_t> record = { 7, 3, 0, 'a', 0, 'b', 0, 'c' };
    EXPECT_EQ(RecordText(record, 3, 2), u"ab");
    EXPECT_EQ(RecordText(record, 3, 300), u"ab");
    EXPECT_EQ(RecordText(record, 30, 3), u"");
    const std::vector<std::uint8_t> number = { 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF8, 0x3F };
    EXPECT_EQ(FieldF64(number, 6), 1.5);
    EXPECT_EQ(FieldF64(number, 7), 0.0);
}

} // namespace
} // namespace spreadsheet
