#pragma once

// Line breaking and drawing: turns the run list of one paragraph into
// printed lines, with tab stops, alignment, justification and page breaks.

#include "TextFlow.h"

#include <cstdint>
#include <vector>

namespace printengine {

// Adds a tab stop at twips scaled by the resize ratio; values below 1 are
// ignored, a position already present is not added twice.
void AddTabStop(std::int32_t twips);

// Removes every tab stop.
void ClearTabStops();

// The tab stops in device units, ascending.
const std::vector<std::int32_t>& TabStops();

// The default tab interval: in plain-text mode the average character width
// of the font realised last times the plain-text tab size, else half an inch
// scaled by the resize ratio. Stored in Job().DefaultTab.
std::int32_t DefaultTabWidth();

inline constexpr std::int32_t kTabsPastLimit = -1;

enum class TabClear { Keep, Clear };

// The position after the tabs that precede the run, starting at x, or
// kTabsPastLimit when a default tab runs past limit. With TabClear::Clear
// the run's tabs are marked as used.
std::int32_t AdvanceTabs(std::int32_t x, std::int32_t limit, TextRun& run, TabClear clear);

inline constexpr std::int32_t kRunHasNoFont = -1;

// How many of the first count characters of the run (all when count is 0 or
// above the run's length) fit in width; kRunHasNoFont when the run's font
// cannot be realised. Sets FitCount, Extent, the metrics and the break point.
std::int32_t MeasureRun(TextRun& run, std::int32_t width, std::int32_t count);

// Lays out and draws the whole run list of the paragraph. Stops at a run
// whose font cannot be realised and leaves the runs in the list.
void LayoutParagraph();

// The colour indices sent to the printer last; both 0 at job start.
void ResetColorCache();

} // namespace printengine
