#include "CommandLine.h"

#include "AppSettings.h"
#include "CellRef.h"
#include "SettingsStore.h"

#include <cstdint>

namespace shell {
namespace {

// A cell argument is at most this many characters, up to the next space.
constexpr std::size_t kMaxCellArgumentLength = 10;
// A custom percentage is read from at most this many characters.
constexpr std::size_t kMaxPercentArgumentLength = 3;
constexpr std::int32_t kMinCustomPercent = 25;
constexpr std::int32_t kMaxCustomPercent = 250;
constexpr std::int16_t kDefaultCustomPercent = 100;
constexpr std::int32_t kSheetRangeCustom = 3;
constexpr std::uint8_t kSheetSizingCustom = 2;

// The text and the scan position. Reading at or beyond the end yields the
// terminator, so a switch at the very end never reads past the text.
class Scanner {
public:
    Scanner(const char16_t* text, std::size_t length)
        : text_(text)
        , length_(length)
    {
    }

    bool AtEnd() const { return position_ >= length_; }
    char16_t Peek() const { return AtEnd() ? u'\0' : text_[position_]; }
    // Consumes one character when there is one left, and returns it.
    char16_t Take()
    {
        char16_t unit = Peek();
        if (!AtEnd())
            ++position_;
        return unit;
    }
    // Moves to the character after the next '/', or to the end.
    bool SkipToNextSwitch()
    {
        while (!AtEnd()) {
            if (text_[position_++] == u'/')
                return true;
        }
        return false;
    }
    std::size_t Position() const { return position_; }
    const char16_t* At(std::size_t position) const { return text_ + position; }

private:
    const char16_t* text_;
    std::size_t length_;
    std::size_t position_ = 0;
};

char16_t ToUpper(char16_t unit)
{
    return unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - u'a' + u'A') : unit;
}

bool IsDigit(char16_t unit)
{
    return unit >= u'0' && unit <= u'9';
}

// The value of a one-character choice '0' .. last, or -1.
int ChoiceValue(char16_t unit, int last)
{
    return unit >= u'0' && unit <= u'0' + last ? unit - u'0' : -1;
}

void SetView(std::int32_t view)
{
    core::Options().StartView = view;
    core::Settings().ViewMode = view;
}

// /A and /F: skip spaces and double quotes, then take everything up to the
// next double quote, '/' or the end, less trailing spaces.
void ReadFileName(Scanner& scanner)
{
    while (scanner.Peek() == u' ' || scanner.Peek() == u'"')
        scanner.Take();
    std::size_t start = scanner.Position();
    while (!scanner.AtEnd() && scanner.Peek() != u'"' && scanner.Peek() != u'/')
        scanner.Take();
    std::size_t end = scanner.Position();
    while (end > start && *scanner.At(end - 1) == u' ')
        --end;
    std::vector<char16_t>& file = core::Options().CommandLineFile;
    file.assign(scanner.At(start), scanner.At(end));
    file.push_back(u'\0');
}

// /XAF and /XAT: at most ten characters up to the next space; a switch that
// follows without a space becomes part of the cell text.
void ReadCell(Scanner& scanner, core::CellPosition& cell)
{
    char16_t cellText[kMaxCellArgumentLength + 1] = {};
    std::size_t count = 0;
    while (count < kMaxCellArgumentLength && !scanner.AtEnd() && scanner.Peek() != u' ')
        cellText[count++] = scanner.Take();
    std::uint16_t column = 0;
    std::uint16_t row = 0;
    if (spreadsheet::ParseCellRef(cellText, column, row) == 1)
        cell = core::CellPosition { column, row };
}

// /XZC: up to three characters, stopping early at a space or the end; the
// digits among them make the number, anything else only counts.
void ReadCustomPercent(Scanner& scanner)
{
    std::int32_t value = 0;
    for (std::size_t count = 0; count < kMaxPercentArgumentLength; ++count) {
        if (scanner.AtEnd() || scanner.Peek() == u' ')
            break;
        char16_t unit = scanner.Take();
        if (IsDigit(unit))
            value = value * 10 + (unit - u'0');
    }
    core::Settings().SheetCustomPercent = value >= kMinCustomPercent && value <= kMaxCustomPercent
        ? static_cast<std::int16_t>(value)
        : kDefaultCustomPercent;
}

void SetSwitch(std::int32_t& field, char16_t unit)
{
    if (int value = ChoiceValue(unit, 1); value >= 0)
        field = value;
}

void SetSwitch(std::uint8_t& field, char16_t unit)
{
    if (int value = ChoiceValue(unit, 1); value >= 0)
        field = static_cast<std::uint8_t>(value);
}

// /X and its sub-switch. The character after X, and the one after each
// sub-letter that takes a value, is consumed even when it is a '/'.
void ReadSheetOption(Scanner& scanner)
{
    core::RunOptions& options = core::Options();
    core::AppSettings& settings = core::Settings();
    options.SheetOptionsFromCommandLine = 1;
    if (scanner.AtEnd() || scanner.Peek() == u' ') {
        scanner.Take();
        if (!core::HasCommandLineFile())
            SetView(core::kViewWorkbooks);
        return;
    }
    char16_t subLetter = ToUpper(scanner.Take());
    switch (subLetter) {
    case u'Q':
        options.SkipSheetDialog = 1;
        return;
    case u'A': {
        char16_t unit = scanner.Take();
        if (int range = ChoiceValue(unit, kSheetRangeCustom); range >= 0)
            options.SheetRange = range;
        else if (ToUpper(unit) == u'F')
            ReadCell(scanner, options.SheetRangeFrom);
        else if (ToUpper(unit) == u'T')
            ReadCell(scanner, options.SheetRangeTo);
        return;
    }
    case u'G':
        SetSwitch(settings.SheetGridlines, scanner.Take());
        return;
    case u'H':
        SetSwitch(settings.SheetHeadings, scanner.Take());
        return;
    case u'B':
        SetSwitch(settings.SheetBackgroundColors, scanner.Take());
        return;
    case u'C':
        SetSwitch(settings.SheetCenter, scanner.Take());
        return;
    case u'S': {
        char16_t unit = scanner.Take();
        if (IsDigit(unit))
            options.SheetIndex = static_cast<std::uint16_t>(unit - u'0');
        return;
    }
    case u'Z': {
        char16_t unit = scanner.Take();
        if (int sizing = ChoiceValue(unit, kSheetSizingCustom); sizing >= 0)
            settings.SheetSizing = static_cast<std::uint8_t>(sizing);
        else if (ToUpper(unit) == u'C')
            ReadCustomPercent(scanner);
        return;
    }
    default:
        return;
    }
}

std::size_t MeasureText(const char16_t* text)
{
    std::size_t length = 0;
    while (length < kMaxCommandLineLength && text[length] != u'\0')
        ++length;
    return length;
}

} // namespace

void ParseCommandLine(const char16_t* text)
{
    if (text == nullptr)
        return;
    std::size_t length = MeasureText(text);
    if (length == 0 || length >= kMaxCommandLineLength)
        return;

    core::LoadSettings();

    core::RunOptions& options = core::Options();
    Scanner scanner(text, length);
    while (scanner.SkipToNextSwitch()) {
        switch (ToUpper(scanner.Take())) {
        case u'F':
            ReadFileName(scanner);
            SetView(core::kViewDocuments);
            break;
        case u'A':
            ReadFileName(scanner);
            SetView(core::kViewWorkbooks);
            options.SheetOptionsFromCommandLine = 1;
            break;
        case u'E':
            options.ExitCodeMode = 1;
            break;
        case u'I':
            if (!core::HasCommandLineFile())
                SetView(core::kViewEmail);
            break;
        case u'W':
            if (!core::HasCommandLineFile())
                SetView(core::kViewDocuments);
            break;
        case u'P':
            options.PlainTextOnce = 1;
            break;
        case u'Q':
            options.QuickPrintOnce = 1;
            break;
        case u'X':
            ReadSheetOption(scanner);
            break;
        default:
            break;
        }
    }

    if (options.SheetOptionsFromCommandLine != 0)
        core::SaveSettings();
}

} // namespace shell
