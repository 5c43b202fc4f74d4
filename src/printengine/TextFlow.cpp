#include "TextFlow.h"

#include "Fonts.h"
#include "LineLayout.h"
#include "PrintJob.h"

#include <algorithm>
#include <new>

namespace printengine {
namespace {

TextFlow flow;

constexpr char16_t kEndOfParagraph = 0;
constexpr char16_t kTab = 9;
constexpr char16_t kLineFeed = 10;
constexpr char16_t kFormFeed = 12;
constexpr char16_t kCarriageReturn = 13;
constexpr char16_t kEllipsis = 133; // the 8-bit ellipsis: three full stops
constexpr char16_t kLeftDoubleQuote = 147;
constexpr char16_t kRightDoubleQuote = 148;
constexpr char16_t kFullStop = u'.';
constexpr char16_t kDoubleQuote = u'"';
constexpr char16_t kFaceNameSeparator = u';';

CharFormat NoFormat()
{
    CharFormat format;
    format.Bold = format.Underline = format.Italic = format.Strike = 0xFF;
    format.FontNumber = format.Size = format.ForeColor = format.BackColor = -1;
    return format;
}

void ClearPendingTabs()
{
    flow.TabKind = kTabKindNone;
    flow.TabCount = 0;
}

// Makes a run of the pending text, with the pending tabs before it. Returns
// true when a run was made. RunFormat becomes the current format in every
// case. When no memory can be had for the run, its text is dropped.
bool FlushRun()
{
    bool made = false;
    if (flow.PendingLength > 0) {
        auto* run = new (std::nothrow) TextRun;
        if (run != nullptr) {
            run->Format = flow.RunFormat;
            run->TabKind = flow.TabKind;
            run->TabCount = flow.TabCount;
            run->Length = flow.PendingLength;
            for (std::int32_t i = 0; i < flow.PendingLength; ++i)
                run->Text[i] = flow.Pending[i];
            run->Text[flow.PendingLength] = 0;
            run->ForeColor = run->Format.ForeColor;
            run->BackColor = run->Format.BackColor;
            if (flow.LastRun == nullptr)
                flow.FirstRun = run;
            else
                flow.LastRun->Next = run;
            flow.LastRun = run;
            // Realising here also selects the code page of the run's font for
            // the bytes read next; a failure is retried when the run is measured.
            RealizeRunFont(*run);
            made = true;
        }
        flow.PendingLength = 0;
        flow.Pending[0] = 0;
    }
    flow.RunFormat = flow.CurrentCharFormat;
    return made;
}

void EndParagraph();

void StoreChar(char16_t ch)
{
    if (flow.ParagraphLength >= kMaxParagraphLength) {
        EndParagraph();
        Job().PenX = 0;
    }
    ++flow.ParagraphLength;
    if (!(flow.RunFormat == flow.CurrentCharFormat) || flow.PendingLength >= kMaxRunLength) {
        if (FlushRun())
            ClearPendingTabs();
    }
    flow.Pending[flow.PendingLength++] = ch;
    flow.Pending[flow.PendingLength] = 0;
}

void EndParagraph()
{
    flow.ParagraphLength = 0;
    FlushRun();
    ClearPendingTabs();
    LayoutParagraph();
    if (flow.Previous != kLineFeed)
        flow.ParagraphEndY = Job().PenY;
}

bool CompletesLineEndPair(char16_t ch, char16_t previous)
{
    return (ch == kLineFeed && previous == kCarriageReturn) || (ch == kCarriageReturn && previous == kLineFeed);
}

} // namespace

TextFlow& Flow()
{
    return flow;
}

void BeginFontTable()
{
    flow.Definition = FontDefinition {};
    flow.FontCount = 0;
}

void AddFaceNameChar(char16_t ch)
{
    FontDefinition& definition = flow.Definition;
    if (definition.FaceNameLength >= kMaxFaceNameLength)
        return;
    definition.FaceName[definition.FaceNameLength++] = ch;
    definition.FaceName[definition.FaceNameLength] = 0;
}

void SetFaceName(const char16_t* name)
{
    FontDefinition& definition = flow.Definition;
    definition.FaceNameLength = 0;
    definition.FaceName[0] = 0;
    for (std::size_t i = 0; name != nullptr && name[i] != 0; ++i)
        AddFaceNameChar(name[i]);
}

void AddFontTableEntry()
{
    FontDefinition& definition = flow.Definition;
    FontTableEntry entry;
    entry.Number = definition.Number;
    entry.Family = definition.Family;
    entry.Charset = definition.Charset;
    entry.Pitch = definition.Pitch;
    std::int32_t length = definition.FaceNameLength;
    if (length > 0) {
        if (definition.FaceName[length - 1] == kFaceNameSeparator)
            --length;
        entry.Number = static_cast<std::int16_t>(flow.FontCount);
    }
    for (std::int32_t i = 0; i < length; ++i)
        entry.FaceName[i] = definition.FaceName[i];
    flow.FontTable.push_back(entry);
    ++flow.FontCount;
    ClearFontDefinition();
}

void ClearFontDefinition()
{
    // Text still pending (a font table in the middle of a paragraph) keeps
    // its own format: it becomes a run before RunFormat is cleared, or it
    // would be laid out with no font and stop the rest of the job.
    if (flow.PendingLength > 0 && FlushRun())
        ClearPendingTabs();
    flow.Definition = FontDefinition {};
    flow.RunFormat = NoFormat();
}

FontTableEntry* FindFontTableEntry(std::int32_t number)
{
    for (FontTableEntry& entry : flow.FontTable) {
        if (entry.Number == number)
            return &entry;
    }
    return nullptr;
}

int PutFlowChar(char16_t ch)
{
    if (ch == kTab && flow.Previous == kTab) {
        ++flow.TabCount;
        return 0;
    }

    switch (ch) {
    case kEndOfParagraph:
        EndParagraph();
        break;
    case kLineFeed:
    case kCarriageReturn:
        if (CompletesLineEndPair(ch, flow.Previous)) {
            flow.Previous = 0;
            return 0;
        }
        EndParagraph();
        Job().PenX = 0;
        break;
    case kFormFeed:
        // The pending text is not flushed: it joins the paragraph laid out
        // on the new page.
        NextPage();
        Job().PenY = Job().LineHeight;
        break;
    case kTab:
        FlushRun();
        flow.TabKind = kTabKindTab;
        flow.TabCount = 1;
        break;
    case kEllipsis:
        for (int i = 0; i < 3; ++i)
            StoreChar(kFullStop);
        break;
    case kLeftDoubleQuote:
    case kRightDoubleQuote:
        StoreChar(kDoubleQuote);
        break;
    default:
        StoreChar(ch);
        break;
    }
    flow.Previous = ch;
    return 0;
}

namespace {

// Whether PutFlowChar does no more with a character than store it.
constexpr bool OnlyStored(char16_t ch)
{
    switch (ch) {
    case kEndOfParagraph:
    case kTab:
    case kLineFeed:
    case kFormFeed:
    case kCarriageReturn:
    case kEllipsis:
    case kLeftDoubleQuote:
    case kRightDoubleQuote:
        return false;
    default:
        return true;
    }
}

} // namespace

void PutFlowText(const char16_t* text, std::size_t count)
{
    std::size_t at = 0;
    while (at < count) {
        // A stretch of characters that StoreChar would append to the
        // pending run one by one, with nothing to end or flush between them.
        const bool stores = OnlyStored(text[at]) && flow.RunFormat == flow.CurrentCharFormat
            && flow.PendingLength < kMaxRunLength && flow.ParagraphLength < kMaxParagraphLength;
        if (!stores) {
            PutFlowChar(text[at++]);
            continue;
        }
        const std::size_t room = static_cast<std::size_t>(std::min<std::int64_t>(
            kMaxRunLength - flow.PendingLength, kMaxParagraphLength - flow.ParagraphLength));
        const std::size_t end = at + std::min(room, count - at);
        char16_t* pending = flow.Pending + flow.PendingLength;
        const std::size_t begin = at;
        while (at < end && OnlyStored(text[at]))
            *pending++ = text[at++];
        const auto stored = static_cast<std::int32_t>(at - begin);
        flow.PendingLength += stored;
        flow.ParagraphLength += stored;
        flow.Pending[flow.PendingLength] = 0;
        flow.Previous = text[at - 1];
    }
}

bool FlowHasText()
{
    return flow.PendingLength > 0 || flow.FirstRun != nullptr;
}

void FreeRunList()
{
    while (flow.FirstRun != nullptr) {
        TextRun* next = flow.FirstRun->Next;
        delete flow.FirstRun;
        flow.FirstRun = next;
    }
    flow.LastRun = nullptr;
}

void FreeFlowResources()
{
    flow.Definition = FontDefinition {};
    std::vector<FontTableEntry>().swap(flow.FontTable);
    flow.FontCount = 0;
    FreeFontCache();
    ClearTabStops();
}

} // namespace printengine
