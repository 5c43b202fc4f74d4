#pragma once

// Reads workbooks held in memory and records the messages the reader shows.

#include "AppSettings.h"
#include "MessageBox.h"
#include "WorkbookReader.h"
#include "WorkbookWriter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace spreadsheet {

class ReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        core::ResetRunOptions();
        core::ResetAppSettings();
        platform::SetMessageBoxHost([this](std::u16string_view text, std::u16string_view caption) {
            Messages.emplace_back(text);
            Captions.emplace_back(caption);
            return platform::IDOK;
        });
    }

    void TearDown() override
    {
        ReleaseWorkbook();
        platform::SetMessageBoxHost({});
    }

    int Read(std::vector<std::uint8_t> bytes)
    {
        Bytes = std::move(bytes);
        Messages.clear();
        Captions.clear();
        return ReadWorkbookFromBytes(Bytes, u"test.pxl");
    }

    int Read(const WorkbookDescription& description) { return Read(WriteWorkbook(description)); }

    std::vector<std::uint8_t> Bytes;
    std::vector<std::u16string> Messages;
    std::vector<std::u16string> Captions;
};

inline constexpr const char16_t* kInvalidText = u"Invalid PXL file : test.pxl";

} // namespace spreadsheet
