#include "PlainText.h"

#include "AppSettings.h"
#include "DialogHost.h"
#include "DialogResourceIds.h"
#include "MainWindow.h"
#include "Messages.h"
#include "PlainTextDialog.h"
#include "PrintJob.h"
#include "SettingsStore.h"
#include "TextFlow.h"

#include <algorithm>

namespace shell {
namespace {

constexpr std::int32_t kHalfPointsPerPoint = 2;

void DefinePlainTextFont()
{
    const core::AppSettings& settings = core::Settings();
    printengine::BeginFontTable();
    printengine::SetFaceName(settings.TextFontFace);
    printengine::CurrentFontDefinition().Charset = settings.TextFontCharset;
    printengine::AddFontTableEntry();

    printengine::CharFormat& format = printengine::CurrentCharFormat();
    format = {};
    format.Bold = settings.TextBold;
    format.Italic = settings.TextItalic;
    format.Size = settings.TextFontSize * kHalfPointsPerPoint;
    format.FontNumber = 0;
}

void FeedCharacters(const std::uint8_t* text, std::int32_t length, PlainTextEncoding encoding)
{
    // The characters go to the flow a block at a time.
    constexpr std::int32_t kBlock = 4096;
    char16_t block[kBlock];
    const bool wide = encoding == PlainTextEncoding::Utf16;
    const std::int32_t units = wide ? length / 2 : length;
    for (std::int32_t start = 0; start < units; start += kBlock) {
        const std::int32_t count = std::min(kBlock, units - start);
        if (wide) {
            const std::uint8_t* from = text + 2 * static_cast<std::ptrdiff_t>(start);
            for (std::int32_t i = 0; i < count; ++i)
                block[i] = static_cast<char16_t>(from[2 * i] | (from[2 * i + 1] << 8));
        } else {
            const std::uint8_t* from = text + start;
            for (std::int32_t i = 0; i < count; ++i)
                block[i] = from[i];
        }
        printengine::PutFlowText(block, static_cast<std::size_t>(count));
    }
}

} // namespace

int ShowPlainTextOptions()
{
    if (core::Settings().QuickPrint || core::Options().QuickPrintOnce)
        return 1;
    PlainTextDialogResult() = 0;
    platform::DialogBoxParamW(core::ResourceModule(), platform::kPlainTextDialog, MainWindow(), PlainTextDialogProc, 0);
    return PlainTextDialogResult();
}

void PrintPlainText(const std::uint8_t* text, std::int32_t length, PlainTextEncoding encoding)
{
    if (!text)
        return;
    if (!ShowPlainTextOptions())
        return;
    // The plain-text font prints at its nominal size whatever resize choice
    // is in force.
    std::int32_t resizeChoice = core::Settings().ResizeChoice;
    core::SetResizeChoice(core::kResizeChoice100);
    if (printengine::StartPrintJob() == printengine::kPrintJobStarted) {
        DefinePlainTextFont();
        printengine::Job().PlainTextMode = 1;
        FeedCharacters(text, length < 0 ? 0 : length, encoding);
    }
    // The job ends before the resize choice and the plain-text mode go back,
    // because ending it lays out a last line without a line end, which must
    // print in the same size and with the same tabs as the lines before it.
    printengine::EndPrintJob();
    core::SetResizeChoice(resizeChoice);
    printengine::Job().PlainTextMode = 0;
    printengine::CurrentCharFormat() = {};
}

} // namespace shell
