#include "LineLayout.h"

#include "ColorTable.h"
#include "Fonts.h"
#include "PrintJob.h"
#include "Units.h"

#include <AppSettings.h>
#include <PrintingLibrary.h>

#include <algorithm>
#include <limits>

namespace printengine {
namespace {

constexpr char16_t kSpace = u' ';
constexpr char16_t kHyphen = u'-';
constexpr std::int32_t kNoBreak = -1;
constexpr std::int32_t kPercent = 100;

std::vector<std::int32_t> tabStops; // device units, ascending, unique

// The room each run of the line was measured in, kept for the re-measure at
// the break; reused from line to line.
std::vector<std::int32_t> lineWidths;

// The break point of the line being built.
TextRun* breakRun = nullptr;
std::int32_t breakPos = kNoBreak;

// Colour indices sent to the printer last.
std::int32_t textColorIndex = 0;
std::int32_t backColorIndex = 0;

std::int32_t Saturate(std::int64_t value)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

COLORREF ColorTableEntry(std::int32_t index, COLORREF defaultColor)
{
    return index == 0 ? defaultColor : ColorTable()[static_cast<std::size_t>(index) - 1];
}

// A negative index (a document can write one) names no entry either.
void SetRunColors(const TextRun& run)
{
    HDC dc = Job().PrinterDc;
    const auto tableSize = static_cast<std::int32_t>(ColorTable().size());
    if (run.ForeColor != textColorIndex && run.ForeColor >= 0 && run.ForeColor <= tableSize) {
        PLW_SetTextColor(dc, ColorTableEntry(run.ForeColor, kDefaultTextColor));
        textColorIndex = run.ForeColor;
    }
    if (run.BackColor != backColorIndex && run.BackColor >= 0 && run.BackColor < tableSize) {
        PLW_SetBkColor(dc, ColorTableEntry(run.BackColor, kDefaultBackColor));
        backColorIndex = run.BackColor;
    }
}

TextRun* PreviousRun(TextRun* run)
{
    TextRun* previous = nullptr;
    for (TextRun* r = Flow().FirstRun; r != nullptr && r != run; r = r->Next)
        previous = r;
    return previous;
}

void FreeFirstRun()
{
    TextFlow& flow = Flow();
    TextRun* run = flow.FirstRun;
    flow.FirstRun = run->Next;
    if (flow.FirstRun == nullptr)
        flow.LastRun = nullptr;
    delete run;
}

// Keeps the characters from `from` on as the run's text.
void DropRunStart(TextRun& run, std::int32_t from)
{
    const std::int32_t kept = run.Length - from;
    for (std::int32_t i = 0; i < kept; ++i)
        run.Text[i] = run.Text[from + i];
    run.Length = kept;
    run.Text[kept] = 0;
    run.FitCount = 0;
    run.Extent = 0;
}

// The geometry of the line being built, in device units.
struct LineGeometry {
    std::int32_t Start = 0; // from the left of the column
    std::int32_t Available = 0; // width for the text
    std::int32_t Limit = 0; // where default tabs stop: the column less the right indent
};

void DrawText(std::int32_t x, std::int32_t y, const char16_t* text, std::int32_t count)
{
    PLW_ExtTextOut(Job().PrinterDc, x, y, 0, nullptr, text, static_cast<std::uint32_t>(count), nullptr);
}

// The runs of a line: from the first of the paragraph to the last one
// measured for this line. Runs after it have nothing to draw on this line.
struct LineRuns {
    TextRun* Last = nullptr;
};

void DrawLine(const LineGeometry& line, LineRuns runs, std::int32_t offset)
{
    PrintJob& job = Job();
    HDC dc = job.PrinterDc;
    const TextRun* end = runs.Last != nullptr ? runs.Last->Next : nullptr;
    for (TextRun* run = Flow().FirstRun; run != end && run->Length != 0; run = run->Next) {
        if (run->FitCount <= 0)
            continue;
        job.PenX = AdvanceTabs(job.PenX, line.Limit, *run, TabClear::Clear);
        if (job.PenX == kTabsPastLimit)
            break;
        HGDIOBJ previous = PLW_SelectObject(dc, run->Font);
        SetRunColors(*run);
        DrawText(job.OriginX + line.Start + offset + job.PenX, job.OriginY + job.PenY - run->Ascent, run->Text,
            run->FitCount);
        PLW_SelectObject(dc, previous);
        job.PenX += run->Extent;
    }
}

std::int32_t CountSpaces(const TextRun& run)
{
    return static_cast<std::int32_t>(std::count(run.Text, run.Text + run.FitCount, kSpace));
}

void DrawJustifiedLine(const LineGeometry& line, LineRuns runs, std::int32_t lineWidth)
{
    PrintJob& job = Job();
    HDC dc = job.PrinterDc;
    const TextRun* end = runs.Last != nullptr ? runs.Last->Next : nullptr;

    std::int32_t spaces = 0;
    for (TextRun* run = Flow().FirstRun; run != end && run->FitCount > 0; run = run->Next)
        spaces += CountSpaces(*run);
    std::int32_t extra = 0;
    std::int32_t fraction = 0;
    if (spaces > 0) {
        const std::int64_t shortfall = static_cast<std::int64_t>(line.Available) - lineWidth;
        extra = Saturate(shortfall / spaces);
        fraction = Saturate(shortfall * kPercent / spaces - static_cast<std::int64_t>(extra) * kPercent);
    }

    std::int32_t x = 0;
    std::int32_t accumulator = 0;
    for (TextRun* run = Flow().FirstRun; run != end && run->Length != 0; run = run->Next) {
        if (run->FitCount <= 0)
            continue; // Its tabs stay for the next line.
        x = AdvanceTabs(x, line.Limit, *run, TabClear::Clear);
        if (x == kTabsPastLimit)
            break;
        HGDIOBJ previous = PLW_SelectObject(dc, run->Font);
        SetRunColors(*run);
        const std::int32_t y = job.OriginY + job.PenY - run->Ascent;
        std::int32_t wordStart = 0;
        while (wordStart < run->FitCount) {
            std::int32_t wordEnd = wordStart;
            while (wordEnd < run->FitCount && run->Text[wordEnd] != kSpace)
                ++wordEnd;
            if (wordEnd < run->FitCount)
                ++wordEnd; // The word keeps the space after it.
            const std::int32_t wordLength = wordEnd - wordStart;
            DrawText(job.OriginX + line.Start + x, y, run->Text + wordStart, wordLength);
            std::int32_t fit = 0;
            SIZE size {};
            if (PLW_GetTextExtentExPoint(dc, run->Text + wordStart, wordLength, 0, &fit, nullptr, &size) != 0)
                x = Saturate(static_cast<std::int64_t>(x) + size.cx);
            wordStart = wordEnd;
            if (wordStart < run->FitCount) {
                x = Saturate(static_cast<std::int64_t>(x) + extra);
                accumulator += fraction;
                if (accumulator >= kPercent) {
                    ++x;
                    accumulator -= kPercent;
                }
            }
        }
        PLW_SelectObject(dc, previous);
    }
}

// Where the line is cut for drawing: a copy of the break point, moved off
// the start of a run and back over the spaces before it.
struct BreakCopy {
    TextRun* Run;
    std::int32_t Pos;
};

BreakCopy StepBackOverSpaces(BreakCopy copy)
{
    TextRun* first = Flow().FirstRun;
    for (;;) {
        if (copy.Pos < 1) {
            if (copy.Run == first)
                break;
            copy.Run = PreviousRun(copy.Run);
            copy.Pos = copy.Run->Length;
            continue;
        }
        if (copy.Run->Text[copy.Pos - 1] != kSpace)
            break;
        --copy.Pos;
    }
    return copy;
}

} // namespace

void AddTabStop(std::int32_t twips)
{
    if (twips < 1)
        return;
    const std::int32_t position = ScaledTwipsToDevice(twips);
    auto at = std::lower_bound(tabStops.begin(), tabStops.end(), position);
    if (at == tabStops.end() || *at != position)
        tabStops.insert(at, position);
}

void ClearTabStops()
{
    std::vector<std::int32_t>().swap(tabStops);
}

const std::vector<std::int32_t>& TabStops()
{
    return tabStops;
}

std::int32_t DefaultTabWidth()
{
    PrintJob& job = Job();
    const TextRun* first = Flow().FirstRun;
    HFONT font = LastRealizedFont();
    if (job.PlainTextMode != 0 && first != nullptr && first->Font != nullptr && font != nullptr) {
        HGDIOBJ previous = PLW_SelectObject(job.PrinterDc, font);
        TEXTMETRICW metrics {};
        PLW_GetTextMetrics(job.PrinterDc, &metrics);
        PLW_SelectObject(job.PrinterDc, previous);
        job.DefaultTab = Saturate(static_cast<std::int64_t>(metrics.tmAveCharWidth) * core::Settings().TextTabSize);
    } else {
        const std::int64_t den = static_cast<std::int64_t>(core::Settings().ScaleDen) * 2;
        job.DefaultTab = den == 0 ? 0 : Saturate(static_cast<std::int64_t>(core::Settings().ScaleNum) * job.Dpi / den);
    }
    return job.DefaultTab;
}

std::int32_t AdvanceTabs(std::int32_t x, std::int32_t limit, TextRun& run, TabClear clear)
{
    if (run.TabKind != kTabKindTab)
        return x;
    std::size_t nextStop = 0;
    for (std::int32_t tab = 0; tab < run.TabCount; ++tab) {
        while (nextStop < tabStops.size() && tabStops[nextStop] < x)
            ++nextStop;
        if (nextStop < tabStops.size()) {
            x = tabStops[nextStop++];
            continue;
        }
        std::int32_t interval = Job().DefaultTab;
        if (interval == -1)
            interval = DefaultTabWidth();
        if (interval > 0) {
            const std::int64_t next = static_cast<std::int64_t>(x) + interval;
            x = Saturate(next - next % interval);
            if (x > limit) {
                x = kTabsPastLimit;
                break;
            }
        }
    }
    if (clear == TabClear::Clear && x != kTabsPastLimit) {
        run.TabKind = kTabKindNone;
        run.TabCount = 0;
    }
    return x;
}

std::int32_t MeasureRun(TextRun& run, std::int32_t width, std::int32_t count)
{
    if (run.Font == nullptr && RealizeRunFont(run) == 0)
        return kRunHasNoFont;
    HDC dc = Job().PrinterDc;
    HGDIOBJ previous = PLW_SelectObject(dc, run.Font);

    if (count <= 0 || count > run.Length)
        count = run.Length;
    std::int32_t fit = 0;
    SIZE size {};
    // A negative room (indents wider than the column) is no room at all.
    if (PLW_GetTextExtentExPoint(dc, run.Text, count, std::max(width, 0), &fit, nullptr, &size) == 0) {
        fit = 0;
        size = SIZE {};
    }
    fit = std::clamp(fit, 0, count);
    run.FitCount = fit;
    run.Extent = size.cx;

    // Read once: a font whose ascent is 0 must not be asked again and again.
    if (run.Ascent == 0) {
        TEXTMETRICW metrics {};
        PLW_GetTextMetrics(dc, &metrics);
        run.Height = metrics.tmHeight;
        run.Ascent = metrics.tmAscent;
    }

    if (fit == count && run.Next != nullptr && run.Next->TabKind == kTabKindTab) {
        breakRun = &run;
        breakPos = count;
    } else if (breakRun != &run) {
        std::int32_t space = kNoBreak;
        for (std::int32_t i = fit - 1; i >= 0; --i) {
            if (run.Text[i] == kSpace || run.Text[i] == kHyphen) {
                space = i + 1;
                break;
            }
        }
        // Without a space in what fits, the break stays at the last space of
        // the runs before, when there is one on the line: cutting inside
        // this run, or where it meets a word the runs before end with
        // ("datum" then ", and"), would split a word across the lines.
        const bool earlierSpace = breakRun != nullptr && breakPos > 0
            && (breakPos < breakRun->Length || breakRun->Text[breakPos - 1] == kSpace
                || breakRun->Text[breakPos - 1] == kHyphen);
        if (space != kNoBreak || !earlierSpace || run.TabKind == kTabKindTab) {
            breakRun = &run;
            breakPos = space == kNoBreak ? fit : space;
        }
    }

    PLW_SelectObject(dc, previous);
    return fit;
}

void LayoutParagraph()
{
    PrintJob& job = Job();
    TextFlow& flow = Flow();

    // Without a printer there is nothing to lay out on.
    if (job.PrinterDc == nullptr) {
        FreeRunList();
        ClearFontDefinition();
        return;
    }

    const ParaFormat& para = flow.CurrentParaFormat;
    const std::int32_t left = TwipsToDevice(para.LeftIndent);
    const std::int32_t right = TwipsToDevice(para.RightIndent);
    const std::int32_t first = TwipsToDevice(para.FirstIndent);
    AddTabStop(Saturate(static_cast<std::int64_t>(para.LeftIndent) + para.FirstIndent));
    AddTabStop(para.LeftIndent);

    LineGeometry line;
    line.Start = Saturate(static_cast<std::int64_t>(left) + first);
    line.Available = Saturate(static_cast<std::int64_t>(job.ColumnWidth) - line.Start - right);
    line.Limit = Saturate(static_cast<std::int64_t>(job.ColumnWidth) - right);

    if (flow.FirstRun == nullptr) {
        job.LineHeight = ScaledHalfPointsToDevice(flow.RunFormat.Size);
        job.PenY = Saturate(static_cast<std::int64_t>(job.PenY) + job.LineHeight);
        ClearFontDefinition();
        return;
    }

    std::vector<std::int32_t>& measuredWidths = lineWidths;
    while (flow.FirstRun != nullptr) {
        breakRun = nullptr;
        breakPos = kNoBreak;
        std::int32_t x = 0;
        job.LineHeight = 0;

        // Measure runs until one does not fit whole.
        bool lastLine = true;
        LineRuns runs;
        measuredWidths.clear();
        for (TextRun* run = flow.FirstRun; run != nullptr; run = run->Next) {
            x = AdvanceTabs(x, line.Limit, *run, TabClear::Keep);
            if (x == kTabsPastLimit) {
                lastLine = false;
                break;
            }
            const std::int32_t width = Saturate(static_cast<std::int64_t>(line.Available) - x);
            const std::int32_t fit = MeasureRun(*run, width, 0);
            if (fit == kRunHasNoFont)
                return;
            runs.Last = run;
            measuredWidths.push_back(width);
            job.LineHeight = std::max(job.LineHeight, run->Height);
            x = Saturate(static_cast<std::int64_t>(x) + run->Extent);
            if (fit < run->Length) {
                lastLine = false;
                break;
            }
        }

        // A line on which not even one character fits would be laid out
        // again and again: it gets its first character, drawn past the edge.
        bool forcedCharacter = false;
        if (!lastLine && breakRun == flow.FirstRun && breakPos < 1) {
            breakPos = 1;
            forcedCharacter = true;
        }

        if (!lastLine && breakRun != nullptr) {
            const BreakCopy copy = StepBackOverSpaces(BreakCopy { breakRun, breakPos });
            TextRun* const savedRun = breakRun;
            const std::int32_t savedPos = breakPos;
            std::size_t index = 0;
            job.LineHeight = 0;
            for (TextRun* run = flow.FirstRun; run != copy.Run; run = run->Next) {
                job.LineHeight = std::max(job.LineHeight, run->Height);
                ++index;
            }
            if (copy.Pos > 0) {
                const std::int32_t width = index < measuredWidths.size() ? measuredWidths[index] : line.Available;
                MeasureRun(*copy.Run, width, copy.Pos);
                if (forcedCharacter && copy.Pos == 1 && copy.Run->FitCount < 1)
                    copy.Run->FitCount = 1;
            } else {
                // Only spaces precede the break: the line draws nothing.
                // Measuring the whole run here would draw the characters
                // after the break twice, on this line and on the next.
                copy.Run->FitCount = 0;
                copy.Run->Extent = 0;
            }
            job.LineHeight = std::max(job.LineHeight, copy.Run->Height);
            if (runs.Last != copy.Run) {
                for (TextRun* run = copy.Run->Next; run != nullptr; run = run->Next) {
                    run->FitCount = 0;
                    run->Extent = 0;
                    if (run == runs.Last)
                        break;
                }
            }
            breakRun = savedRun;
            breakPos = savedPos;
        }

        std::int32_t lineWidth = 0;
        for (TextRun* run = flow.FirstRun; run != nullptr && run->Extent > 0; run = run->Next) {
            lineWidth = AdvanceTabs(lineWidth, line.Limit, *run, TabClear::Keep);
            if (lineWidth == kTabsPastLimit)
                break;
            lineWidth = Saturate(static_cast<std::int64_t>(lineWidth) + run->Extent);
        }

        job.PenX = 0;
        std::int32_t offset = 0;
        if (para.Alignment == kAlignRight)
            offset = Saturate(static_cast<std::int64_t>(line.Available) - lineWidth);
        else if (para.Alignment == kAlignCentre)
            offset = Saturate((static_cast<std::int64_t>(line.Available) - lineWidth) / 2);

        job.PenY = Saturate(static_cast<std::int64_t>(job.PenY) + job.LineHeight);
        if (job.PenY >= job.ColumnHeight) {
            NextPage();
            job.PenY = job.LineHeight;
        }

        if (para.Alignment == kAlignJustify && !lastLine)
            DrawJustifiedLine(line, runs, lineWidth);
        else
            DrawLine(line, runs, offset);

        // Free what was drawn; a broken run keeps the text after its break.
        if (!lastLine && breakRun == nullptr) {
            // Tabs ran past the line before anything was measured: that
            // run's text is lost, the rest of the paragraph goes on.
            job.LineHeight = flow.FirstRun->Height;
            FreeFirstRun();
        } else {
            while (flow.FirstRun != nullptr) {
                TextRun* run = flow.FirstRun;
                job.LineHeight = run->Height;
                if (!lastLine && run == breakRun) {
                    if (breakPos >= run->Length || run->Length <= run->FitCount)
                        FreeFirstRun();
                    else
                        DropRunStart(*run, breakPos);
                    break;
                }
                FreeFirstRun();
            }
        }

        line.Start = left;
        line.Available = Saturate(static_cast<std::int64_t>(job.ColumnWidth) - right - left);
    }
    ClearFontDefinition();
}

void ResetColorCache()
{
    textColorIndex = 0;
    backColorIndex = 0;
}

} // namespace printengine
