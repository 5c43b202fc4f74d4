#pragma once

// The print setup: where a job goes, on which paper, at which resolution and
// with which margins. It comes from the library's configuration file and the
// environment (docs/plotwise.md lists the keys and variables).

#include <cstdint>
#include <optional>
#include <string>

namespace plotwise {

enum class DestinationKind { Pdf, PostScript, Png, Recording, Cups };

// Lengths of the setup are kept in micrometres, which hold both whole
// thousandths of an inch and whole hundredths of a millimetre exactly.
inline constexpr int32_t kMicrometresPerInch = 25400;

struct Margins {
    int32_t left = 19050; // 0.75 inch
    int32_t top = 19050;
    int32_t right = 19050;
    int32_t bottom = 19050;
};

struct PrintSetup {
    DestinationKind Destination = DestinationKind::Pdf;
    // The output path; empty for the default PDF in OutputFolder.
    std::string OutputPath;
    // True when OutputPath was named by the user: an existing file is replaced.
    bool ExplicitOutput = false;
    std::string CupsQueue;
    std::string OutputFolder;
    // True when the configuration or PLOTWISE_OUTPUT_DIR chose the folder:
    // the pages then go there as files, not to the default queue.
    bool OutputFolderGiven = false;
    // Why the configured destination cannot be honoured; a job then fails
    // before anything prints.
    std::string OutputError;
    std::string PaperName;
    // Paper size in micrometres.
    int32_t PaperWidth = 0;
    int32_t PaperHeight = 0;
    // True when the configuration or PLOTWISE_PAPER named the paper: a
    // queue's own default paper does not replace it.
    bool PaperGiven = false;
    int32_t Dpi = 600;
    // True when the configuration or PLOTWISE_DPI named the resolution.
    bool DpiGiven = false;
    plotwise::Margins Margins;
    // The paper turned a quarter: the page is PaperHeight wide.
    bool Landscape = false;
    // Copies a print queue makes of the document; files hold one.
    int32_t Copies = 1;
    bool UsUnits = false;
    // Problems found in the configuration, one line each, for the report.
    std::string Warnings;
};

// The papers known by name ("a4", "letter" ...), sizes in micrometres.
struct NamedPaper {
    const char* Name;
    const char* Label;
    int32_t Width;
    int32_t Height;
};
inline constexpr NamedPaper kNamedPapers[] = {
    { "a3", "A3", 297000, 420000 },
    { "a4", "A4", 210000, 297000 },
    { "a5", "A5", 148000, 210000 },
    { "legal", "Legal", 215900, 355600 },
    { "letter", "Letter", 215900, 279400 },
};

// True when the locale of LC_ALL, LC_MEASUREMENT or LANG (the first that is
// set) measures in U.S. units. "C", "POSIX" and no locale count as metric.
bool LocaleMeasuresInUsUnits();

// Reads the configuration file and the environment.
PrintSetup LoadPrintSetup();

// Applies one key=value setting, as from the file; false for an unknown key
// or a value that cannot be read (the setting stays as it was).
bool ApplySetting(PrintSetup& setup, const std::string& key, const std::string& value);

// A destination path classified by its ending: ".pdf", ".ps", ".png", ".txt",
// or "cups:QUEUE". Nothing for anything else.
std::optional<DestinationKind> DestinationFromPath(const std::string& path);

// Micrometres to device units at dpi, rounded to the nearest.
inline int32_t MicrometresToDevice(int32_t micrometres, int32_t dpi)
{
    return static_cast<int32_t>(
        (static_cast<int64_t>(micrometres) * dpi + kMicrometresPerInch / 2) / kMicrometresPerInch);
}

// Micrometres to thousandths of an inch and to hundredths of a millimetre,
// rounded to the nearest.
inline int32_t MicrometresToMilliInch(int32_t micrometres)
{
    return static_cast<int32_t>(
        (static_cast<int64_t>(micrometres) * 1000 + kMicrometresPerInch / 2) / kMicrometresPerInch);
}

inline int32_t MicrometresToHundredthsOfMillimetre(int32_t micrometres)
{
    return (micrometres + 5) / 10;
}

} // namespace plotwise
