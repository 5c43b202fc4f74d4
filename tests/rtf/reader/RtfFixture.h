#pragma once

// Prints an RTF text on the printing library double and gives back what was
// drawn, line by line, with the messages shown.

#include "EngineFixture.h"

#include <RtfReader.h>
#include <Source.h>

#include <cstring>
#include <string>
#include <string_view>

namespace rtf::testing {

class RtfTest : public printengine::testing::EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        core::Settings().QuickPrint = 1;
        ResetRtfReader();
    }

    void TearDown() override
    {
        ReleaseSourceData();
        ResetRtfReader();
        EngineTest::TearDown();
    }

    static void Load(std::string_view document)
    {
        ASSERT_TRUE(AllocateSourceData(static_cast<std::int32_t>(document.size())));
        std::memcpy(SourceData, document.data(), document.size());
    }

    static int Print(std::string_view document)
    {
        Load(document);
        return RtfPrintDocument();
    }

    // Opens a job and parses without ending it, so the flow and tables can
    // be looked at. Returns RtfParse's error code.
    static int Parse(std::string_view document)
    {
        Load(document);
        SourcePos = 0;
        EXPECT_EQ(printengine::StartPrintJob(), printengine::kPrintJobStarted);
        return RtfParse();
    }

    // Every drawn text, joined; lines separated by "|".
    static std::u16string DrawnText()
    {
        std::u16string result;
        std::int32_t lastY = INT32_MIN;
        std::int32_t lastPage = -1;
        for (const auto& text : printengine::testing::FakeLog().Texts) {
            if (!result.empty() && (text.Y != lastY || text.Page != lastPage))
                result += u'|';
            result += text.Text;
            lastY = text.Y;
            lastPage = text.Page;
        }
        return result;
    }
};

} // namespace rtf::testing
