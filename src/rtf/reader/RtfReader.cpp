#include "RtfReader.h"

#include "Fonts.h"
#include "Keywords.h"
#include "Pictures.h"
#include "PrintJob.h"
#include "ReaderState.h"
#include "Source.h"
#include "TextFlow.h"

#include <Messages.h>
#include <StringIds.h>

#include <array>
#include <string_view>

namespace rtf {
namespace {

constexpr unsigned kRtfParseErrorMessage = platform::kStrRtfParseError;

ReaderState reader;

constexpr bool IsLetter(int ch)
{
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
}

constexpr bool IsDigit(int ch)
{
    return ch >= '0' && ch <= '9';
}

int HexDigitValue(int ch)
{
    if (IsDigit(ch))
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

void AddFaceNameByte(int ch)
{
    const auto byte = static_cast<std::uint8_t>(ch);
    if (!reader.FaceNameHexPending) {
        printengine::AddFaceNameChar(static_cast<char16_t>(byte));
        return;
    }
    reader.FaceNameHexPending = false;
    const std::uint16_t codePage = printengine::CodePages().CodePage;
    if (reader.FaceNameLeadPending) {
        reader.FaceNameLeadPending = false;
        printengine::AddFaceNameChar(ByteDecoder::DecodePair(codePage, reader.FaceNameLeadByte, byte));
        return;
    }
    const ByteDecoder::Byte decoded = reader.Bytes.Decode(codePage, byte);
    if (decoded.LeadByte) {
        reader.FaceNameLeadPending = true;
        reader.FaceNameLeadByte = byte;
        return;
    }
    printengine::AddFaceNameChar(decoded.Unit);
}

void AddDocumentByte(int ch)
{
    const auto byte = static_cast<std::uint8_t>(ch);
    const std::int32_t fontNumber = printengine::CurrentCharFormat().FontNumber;
    // The font table only grows during a document: the font of the byte
    // before has its entry already.
    if (fontNumber != reader.FontSeenLast) {
        EnsureTextFont();
        reader.FontSeenLast = fontNumber;
        const printengine::FontTableEntry* entry = printengine::FindFontTableEntry(fontNumber);
        reader.CharsetSeenLast = entry != nullptr ? static_cast<std::uint16_t>(entry->Charset) : 0;
    }
    printengine::SelectCodePage(reader.CharsetSeenLast);
    const std::uint16_t codePage = printengine::CodePages().CodePage;

    if (reader.LeadBytePending) {
        reader.LeadBytePending = false;
        printengine::PutFlowChar(ByteDecoder::DecodePair(codePage, reader.LeadByte, byte));
        return;
    }
    const ByteDecoder::Byte decoded = reader.Bytes.Decode(codePage, byte);
    if (decoded.LeadByte) {
        reader.LeadByte = byte;
        reader.LeadBytePending = true;
        return;
    }
    printengine::PutFlowChar(decoded.Unit);
}

int PushState()
{
    if (reader.GroupDepth >= kMaxGroupDepth)
        return kRtfStackOverflow;
    reader.Stack.push_back(GroupState { printengine::CurrentCharFormat(), printengine::CurrentParaFormat(),
        reader.Section, reader.Doc, reader.Destination, reader.InputState, reader.UnicodeSkip });
    reader.InputState = kInputNormal;
    ++reader.GroupDepth;
    return kRtfOk;
}

int PopState()
{
    if (reader.Stack.empty())
        return kRtfStackUnderflow;
    const GroupState saved = reader.Stack.back();
    reader.Stack.pop_back();
    if (saved.Destination != reader.Destination) {
        if (reader.Destination == kDestinationFontTable)
            CommitFontDefinition();
        else if (reader.Destination == kDestinationPicture)
            EndPicture();
    }
    printengine::CurrentCharFormat() = saved.CharFormat;
    printengine::CurrentParaFormat() = saved.ParaFormat;
    reader.Section = saved.Section;
    reader.Doc = saved.Doc;
    reader.Destination = saved.Destination;
    reader.InputState = saved.InputState;
    reader.UnicodeSkip = saved.UnicodeSkip;
    --reader.GroupDepth;
    return kRtfOk;
}

int ParseKeyword()
{
    int ch = GetSourceChar();
    if (ch == -1)
        return kRtfEndOfFile;
    if (!IsLetter(ch)) {
        const char symbol = static_cast<char>(ch);
        return TranslateKeyword(std::string_view(&symbol, 1), 0, false);
    }

    // Letters beyond the longest keyword, and digits beyond the longest
    // parameter, are read and dropped.
    std::array<char, kMaxKeywordLength> name {};
    int nameLength = 0;
    while (IsLetter(ch)) {
        if (nameLength < kMaxKeywordLength)
            name[static_cast<std::size_t>(nameLength++)] = static_cast<char>(ch);
        ch = GetSourceChar();
    }
    bool negative = false;
    if (ch == '-') {
        negative = true;
        ch = GetSourceChar();
        if (ch == -1)
            return kRtfEndOfFile;
    }
    bool hasParameter = false;
    std::uint32_t magnitude = 0;
    int digits = 0;
    while (IsDigit(ch)) {
        hasParameter = true;
        if (digits++ < kMaxParameterDigits)
            magnitude = magnitude * 10 + static_cast<std::uint32_t>(ch - '0');
        ch = GetSourceChar();
    }
    // The parameter is a 32-bit word; longer numbers wrap as they would in
    // 32-bit arithmetic.
    const auto parameter = static_cast<std::int32_t>(negative ? 0u - magnitude : magnitude);
    if (ch != ' ' && ch != -1)
        UngetSourceChar();
    return TranslateKeyword(
        std::string_view(name.data(), static_cast<std::size_t>(nameLength)), parameter, hasParameter);
}

int ParseHexDigit(int ch)
{
    const int digit = HexDigitValue(ch);
    if (digit < 0)
        return kRtfInvalidHex;
    reader.HexValue = reader.HexValue * 16 + digit;
    if (--reader.HexDigitsLeft > 0)
        return kRtfOk;
    const int value = reader.HexValue;
    const bool discard = reader.InputState == kInputHexDiscard;
    reader.InputState = kInputNormal;
    reader.HexValue = 0;
    reader.HexDigitsLeft = 2;
    return discard ? kRtfOk : ParseChar(value);
}

void ResetReaderState()
{
    reader = ReaderState {};
    ReleasePicture();
}

} // namespace

void EnsureTextFont()
{
    const std::int32_t fontNumber = printengine::CurrentCharFormat().FontNumber;
    // Font numbers beyond the table's 16-bit numbers can name no entry.
    if (fontNumber < INT16_MIN || fontNumber > INT16_MAX || printengine::FindFontTableEntry(fontNumber) != nullptr)
        return;
    printengine::FontTableEntry entry;
    entry.Number = static_cast<std::int16_t>(fontNumber);
    printengine::Flow().FontTable.push_back(entry);
}

ReaderState& Reader()
{
    return reader;
}

void ResetRtfReader()
{
    ResetReaderState();
}

int ParseChar(int ch)
{
    if (reader.InputState == kInputBinary && --reader.BinaryCount <= 0)
        reader.InputState = kInputNormal;
    switch (reader.Destination) {
    case kDestinationFontTable:
        AddFaceNameByte(ch);
        return kRtfOk;
    case kDestinationPicture:
    case kDestinationSkip:
        return kRtfOk;
    default:
        AddDocumentByte(ch);
        return kRtfOk;
    }
}

int RtfParse()
{
    for (int ch = GetSourceChar(); ch != -1; ch = GetSourceChar()) {
        if (reader.GroupDepth < 0)
            return kRtfStackUnderflow;
        int result = kRtfOk;
        if (reader.InputState == kInputBinary) {
            result = ParseChar(ch);
        } else if (ch == '{') {
            result = PushState();
        } else if (ch == '}') {
            result = PopState();
        } else if (ch == '\\') {
            result = ParseKeyword();
        } else if (ch == '\r' || ch == '\n') {
            continue;
        } else if (reader.InputState == kInputNormal) {
            result = ParseChar(ch);
        } else if (reader.InputState == kInputHex || reader.InputState == kInputHexDiscard) {
            result = ParseHexDigit(ch);
        } else {
            result = kRtfBadInputState;
        }
        if (result != kRtfOk)
            return result;
    }
    if (reader.GroupDepth < 0)
        return kRtfStackUnderflow;
    if (reader.GroupDepth > 0)
        return kRtfUnmatchedBrace;
    return kRtfOk;
}

int RtfPrintDocument()
{
    if (SourceData == nullptr)
        return kRtfNotPrinted;
    SourcePos = 0;
    ResetReaderState();

    int result = kRtfNotPrinted;
    if (printengine::StartPrintJob() == printengine::kPrintJobStarted) {
        const int error = RtfParse();
        if (error != kRtfOk)
            core::ShowMessageId(kRtfParseErrorMessage);
        else
            result = kRtfPrinted;
    }
    printengine::EndPrintJob();
    return result;
}

} // namespace rtf
