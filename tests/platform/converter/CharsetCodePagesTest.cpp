#include "CharsetCodePages.h"

#include <Fonts.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// The converter reads a document's text in the code pages the print engine
// prints it in: both must agree for every charset.
TEST(CharsetCodePagesTest, AgreesWithThePrintEngineForEveryCharset)
{
    setenv("LC_ALL", "ru_RU.UTF-8", 1);
    for (std::uint16_t charset = 0; charset < 256; ++charset) {
        printengine::ResetCodePageState();
        printengine::CodePages().DocumentCodePage = 1257;
        // Select another charset first, so the selection is not skipped as a
        // repeat of the current one.
        printengine::SelectCodePage(charset == 1 ? 3 : 1);
        printengine::SelectCodePage(charset);
        const std::uint16_t expected = printengine::CodePages().CodePage;
        EXPECT_EQ(platform::CodePageOfCharset(charset).value_or(1257), expected) << charset;
    }
}

} // namespace
