#include "DocumentType.h"

#include "RichInk.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

using shell::DocumentType;

TEST(DocumentTypeTest, DetectsTheTypeFromTheFirstFiveBytes)
{
    struct Row {
        std::string_view bytes;
        DocumentType type;
        std::uintptr_t format;
    };
    const Row rows[] = {
        { "{\\rtf1\\ansi}", DocumentType::Rtf, platform::SF_RTF },
        { "{\\rtf", DocumentType::Rtf, platform::SF_RTF },
        { "{\\pwi ink", DocumentType::PocketWord, platform::SF_POCKETWORD_RTF },
        { "{\\rt", DocumentType::Other, platform::SF_POCKETWORD_RTF },
        { "{\\RTF1", DocumentType::Other, platform::SF_POCKETWORD_RTF },
        { " {\\rtf1", DocumentType::Other, platform::SF_POCKETWORD_RTF },
        { "plain text", DocumentType::Other, platform::SF_POCKETWORD_RTF },
        { "", DocumentType::Other, platform::SF_POCKETWORD_RTF },
    };
    for (const Row& row : rows) {
        DocumentType type
            = shell::DetectDocumentType(reinterpret_cast<const std::uint8_t*>(row.bytes.data()), row.bytes.size());
        EXPECT_EQ(type, row.type) << row.bytes;
        EXPECT_EQ(shell::StreamInFormat(type), row.format) << row.bytes;
    }
    EXPECT_EQ(shell::DetectDocumentType(nullptr, 5), DocumentType::Other);
}

} // namespace
