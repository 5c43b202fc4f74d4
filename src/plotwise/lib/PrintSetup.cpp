#include "PrintSetup.h"

#include <paper.h>

#include <unicode/ulocdata.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string_view>
#include <vector>

namespace plotwise {
namespace {

constexpr int32_t kMinimumDpi = 10;
constexpr int32_t kMaximumDpi = 2400;
constexpr int32_t kDefaultPngDpi = 150;
constexpr double kMicrometresPerMillimetre = 1000.0;
constexpr std::string_view kConfigFileName = "plotwise/plotwise.conf";

std::string Lowered(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

std::string Trimmed(std::string_view text)
{
    size_t first = 0;
    while (first < text.size() && std::isspace(static_cast<unsigned char>(text[first])))
        ++first;
    size_t last = text.size();
    while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1])))
        --last;
    return std::string(text.substr(first, last - first));
}

bool EndsWith(std::string_view text, std::string_view ending)
{
    return text.size() >= ending.size() && text.substr(text.size() - ending.size()) == ending;
}

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

// A length such as "0.75in", "19mm", "2cm", "54pt" or "0.75" (inches), in
// micrometres.
std::optional<int32_t> ParseLength(std::string_view text)
{
    std::string value = Lowered(Trimmed(text));
    double factor = kMicrometresPerInch;
    for (auto [unit, unitFactor] :
        { std::pair<std::string_view, double> { "in", kMicrometresPerInch }, { "mm", kMicrometresPerMillimetre },
            { "cm", 10 * kMicrometresPerMillimetre }, { "pt", kMicrometresPerInch / 72.0 } }) {
        if (EndsWith(value, unit)) {
            value.resize(value.size() - unit.size());
            factor = unitFactor;
            break;
        }
    }
    value = Trimmed(value);
    if (value.empty())
        return std::nullopt;
    char* end = nullptr;
    double number = std::strtod(value.c_str(), &end);
    if (end != value.c_str() + value.size() || !std::isfinite(number) || number < 0 || number * factor > 1e9)
        return std::nullopt;
    return static_cast<int32_t>(std::lround(number * factor));
}

std::vector<std::string> Split(std::string_view text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        size_t next = text.find(separator, start);
        parts.push_back(Trimmed(text.substr(start, next == std::string_view::npos ? next : next - start)));
        if (next == std::string_view::npos)
            return parts;
        start = next + 1;
    }
}

bool ApplyPaper(PrintSetup& setup, const std::string& value)
{
    std::string name = Lowered(Trimmed(value));
    for (const NamedPaper& paper : kNamedPapers) {
        if (name == paper.Name) {
            setup.PaperName = name;
            setup.PaperWidth = paper.Width;
            setup.PaperHeight = paper.Height;
            return true;
        }
    }
    // A custom size "WxH" with a unit on the height that applies to both.
    size_t cross = name.find('x');
    if (cross == std::string::npos)
        return false;
    std::string height = name.substr(cross + 1);
    std::string unit;
    while (!height.empty() && std::isalpha(static_cast<unsigned char>(height.back()))) {
        unit.insert(unit.begin(), height.back());
        height.pop_back();
    }
    std::optional<int32_t> w = ParseLength(name.substr(0, cross) + unit);
    std::optional<int32_t> h = ParseLength(height + unit);
    constexpr int32_t kSmallestPaper = kMicrometresPerInch;
    if (!w || !h || *w < kSmallestPaper || *h < kSmallestPaper)
        return false;
    setup.PaperName = name;
    setup.PaperWidth = *w;
    setup.PaperHeight = *h;
    return true;
}

bool ApplyMargins(PrintSetup& setup, const std::string& value)
{
    std::vector<std::string> parts = Split(value, ',');
    std::vector<int32_t> lengths;
    for (const std::string& part : parts) {
        std::optional<int32_t> length = ParseLength(part);
        if (!length)
            return false;
        lengths.push_back(*length);
    }
    if (lengths.size() == 1)
        setup.Margins = { lengths[0], lengths[0], lengths[0], lengths[0] };
    else if (lengths.size() == 4)
        setup.Margins = { lengths[0], lengths[1], lengths[2], lengths[3] };
    else
        return false;
    return true;
}

bool ApplyOutput(PrintSetup& setup, const std::string& value)
{
    std::optional<DestinationKind> kind = DestinationFromPath(value);
    if (!kind)
        return false;
    setup.Destination = *kind;
    setup.ExplicitOutput = true;
    if (*kind == DestinationKind::Cups) {
        setup.CupsQueue = value.substr(5);
        setup.OutputPath.clear();
    } else {
        setup.OutputPath = value;
    }
    return true;
}

// The user's documents folder as the desktop names it: XDG_DOCUMENTS_DIR,
// else its line in user-dirs.dirs ("$HOME/..." or an absolute path), else
// ~/Documents.
std::string DocumentsFolder()
{
    std::string home = Environment("HOME");
    if (home.empty())
        home = "/tmp";
    std::string named = Environment("XDG_DOCUMENTS_DIR");
    if (!named.empty())
        return named;
    std::string config = Environment("XDG_CONFIG_HOME");
    std::ifstream dirs((config.empty() ? home + "/.config" : config) + "/user-dirs.dirs");
    std::string line;
    while (std::getline(dirs, line)) {
        std::string text = Trimmed(line);
        constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR=";
        if (!text.starts_with(kKey))
            continue;
        std::string value = text.substr(kKey.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.starts_with("$HOME"))
            value = home + value.substr(5);
        if (value.starts_with("/"))
            return value;
        break;
    }
    return home + "/Documents";
}

std::string SystemPaperName()
{
    paperinit();
    char* named = systempapername();
    std::string name = named ? named : "";
    std::free(named);
    paperdone();
    return name;
}

std::string DefaultOutputFolder()
{
    return DocumentsFolder();
}

std::string ConfigFilePath()
{
    std::string named = Environment("PLOTWISE_CONFIG");
    if (!named.empty())
        return named;
    std::string base = Environment("XDG_CONFIG_HOME");
    if (base.empty()) {
        std::string home = Environment("HOME");
        if (home.empty())
            return {};
        base = home + "/.config";
    }
    return base + "/" + std::string(kConfigFileName);
}

void ReadConfigFile(PrintSetup& setup, const std::string& path)
{
    std::ifstream file(path);
    if (!file)
        return;
    std::string line;
    int lineNumber = 0;
    while (std::getline(file, line)) {
        ++lineNumber;
        std::string text = Trimmed(line);
        if (text.empty() || text[0] == '#')
            continue;
        size_t equals = text.find('=');
        bool applied = equals != std::string::npos
            && ApplySetting(setup, Lowered(Trimmed(text.substr(0, equals))), Trimmed(text.substr(equals + 1)));
        if (!applied)
            setup.Warnings += path + ":" + std::to_string(lineNumber) + ": ignored \"" + text + "\"\n";
    }
}

void ApplyEnvironment(PrintSetup& setup, const char* variable, const char* key)
{
    std::string value = Environment(variable);
    if (value.empty())
        return;
    if (!ApplySetting(setup, key, value))
        setup.Warnings += std::string("ignored ") + variable + "=\"" + value + "\"\n";
}

// The locale of the first of LC_ALL, the category's variable and LANG that
// is set, without its codeset and modifier; empty for the C and POSIX
// locales and none, which stand for U.S. English, as they do for the
// program's own locale layer, so both sides agree on the margin units.
std::string CategoryLocale(const char* category)
{
    std::string locale;
    for (const char* variable : { "LC_ALL", category, "LANG" }) {
        locale = Environment(variable);
        if (!locale.empty())
            break;
    }
    locale = locale.substr(0, locale.find_first_of(".@"));
    return locale == "C" || locale == "POSIX" ? std::string() : locale;
}

// The locale's paper: Letter where ICU's paper for it is 8.5 by 11 inches
// (and for U.S. English), A4 elsewhere.
std::string LocalePaperName()
{
    const std::string locale = CategoryLocale("LC_PAPER");
    if (locale.empty())
        return "letter";
    UErrorCode status = U_ZERO_ERROR;
    int32_t height = 0;
    int32_t width = 0;
    ulocdata_getPaperSize(locale.c_str(), &height, &width, &status);
    constexpr int32_t kLetterWidthMillimetres = 216;
    return U_SUCCESS(status) && width == kLetterWidthMillimetres ? "letter" : "a4";
}

} // namespace

bool LocaleMeasuresInUsUnits()
{
    const std::string locale = CategoryLocale("LC_MEASUREMENT");
    if (locale.empty())
        return true;
    UErrorCode status = U_ZERO_ERROR;
    UMeasurementSystem system = ulocdata_getMeasurementSystem(locale.c_str(), &status);
    return U_SUCCESS(status) && system == UMS_US;
}

std::optional<DestinationKind> DestinationFromPath(const std::string& path)
{
    if (path.rfind("cups:", 0) == 0)
        return path.size() > 5 ? std::optional(DestinationKind::Cups) : std::nullopt;
    std::string lowered = Lowered(path);
    size_t slash = lowered.rfind('/');
    std::string_view name = std::string_view(lowered).substr(slash == std::string::npos ? 0 : slash + 1);
    if (name.size() > 4 && EndsWith(name, ".pdf"))
        return DestinationKind::Pdf;
    if (name.size() > 3 && EndsWith(name, ".ps"))
        return DestinationKind::PostScript;
    if (name.size() > 4 && EndsWith(name, ".png"))
        return DestinationKind::Png;
    if (name.size() > 4 && EndsWith(name, ".txt"))
        return DestinationKind::Recording;
    return std::nullopt;
}

bool ApplySetting(PrintSetup& setup, const std::string& key, const std::string& value)
{
    if (key == "output")
        return ApplyOutput(setup, value);
    if (key == "output_dir") {
        if (value.empty())
            return false;
        setup.OutputFolder = value;
        setup.OutputFolderGiven = true;
        return true;
    }
    if (key == "paper") {
        if (!ApplyPaper(setup, value))
            return false;
        setup.PaperGiven = true;
        return true;
    }
    if (key == "margins")
        return ApplyMargins(setup, value);
    if (key == "dpi") {
        char* end = nullptr;
        long dpi = std::strtol(value.c_str(), &end, 10);
        if (value.empty() || *end != '\0' || dpi < kMinimumDpi || dpi > kMaximumDpi)
            return false;
        setup.Dpi = static_cast<int32_t>(dpi);
        setup.DpiGiven = true;
        return true;
    }
    return false;
}

PrintSetup LoadPrintSetup()
{
    PrintSetup setup;
    setup.UsUnits = LocaleMeasuresInUsUnits();
    // The system's paper (PAPERSIZE, PAPERCONF, /etc/papersize, read by
    // libpaper), else the locale's.
    const std::string systemPaper = SystemPaperName();
    if (systemPaper.empty() || !ApplyPaper(setup, Lowered(systemPaper)))
        ApplyPaper(setup, LocalePaperName());
    setup.OutputFolder = DefaultOutputFolder();
    std::string configPath = ConfigFilePath();
    if (!configPath.empty())
        ReadConfigFile(setup, configPath);
    ApplyEnvironment(setup, "PLOTWISE_OUTPUT_DIR", "output_dir");
    ApplyEnvironment(setup, "PLOTWISE_PAPER", "paper");
    ApplyEnvironment(setup, "PLOTWISE_DPI", "dpi");
    ApplyEnvironment(setup, "PLOTWISE_MARGINS", "margins");
    if (std::string output = Environment("PLOTWISE_OUTPUT"); !output.empty() && !ApplySetting(setup, "output", output))
        setup.OutputError = "PLOTWISE_OUTPUT=\"" + output
            + "\" cannot be printed to: name a .pdf, .ps, .png or .txt file, or cups:QUEUE";
    // A page image at 600 dots per inch is some 30 million pixels: PNG pages
    // are made at screen-friendly 150 unless a resolution was asked for.
    if (setup.Destination == DestinationKind::Png && !setup.DpiGiven)
        setup.Dpi = kDefaultPngDpi;
    return setup;
}

} // namespace plotwise
