// Prints the RTF and Pocket Word samples with the built program, as the main
// job does, on the printing library's recording of drawing calls: each ends
// with exit status 0 under /E and draws its text and pictures.

#include "ProgramRun.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::size_t Count(const std::string& text, const std::string& what)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
        ++count;
    return count;
}

TEST(SamplesTest, EverySamplePrintsItsText)
{
    // A sample, texts it draws and how many pictures.
    const std::tuple<const char*, std::vector<std::string>, std::size_t> rows[] = {
        { "rtf/letter.rtf",
            { "text=\"Brackwater Tide Tables\"", "text=\"6 December 2026\"", "text=\"Dear Ms Fairweather,\"",
                "text=\"High water at the bar comes forty minutes before the quay.\"", "text=\"Harbour Master\"" },
            2 },
        { "rtf/multilingual.rtf",
            { "Съешь же ещё этих мягких французских булок, да", "Москва, Санкт-Петербург, Новосибирск",
                "Ξεσκεπάζω την ψυχοφθόρα βδελυγμία.", "Αθήνα, Θεσσαλονίκη, Πάτρα", "いろはにほへと ちりぬるを",
                "日本語の文章、東京と大阪。" },
            0 },
        { "pocketword/shopping-list.psw",
            { "text=\"Market day\"", "Crème fraîche and ", "Ask about the naïve cheese", "text=\"•\"" }, 0 },
        { "pocketword/meeting-notes.pwi", { "text=\"6 December 2026\"", "dredge the bar" }, 0 },
    };
    const testsupport::TempFolder dir;
    const fs::path recording = dir / "recording.txt";
    for (const auto& [sample, texts, pictures] : rows) {
        // The command line separates folders with "\".
        std::string file = (fs::path(SAMPLES_DIR) / sample).string();
        std::replace(file.begin(), file.end(), '/', '\\');
        fs::remove(recording);
        const testsupport::ProgramOutcome run = testsupport::RunProgram(TALLOWIN_PROGRAM, { "/F", file, "/Q", "/E" },
            { { "PLOTWISE_OUTPUT", recording.string() }, { "TALLOWIN_REGISTRY", (dir / "registry.reg").string() },
                { "LANG", "en_US.UTF-8" }, { "LC_ALL", "en_US.UTF-8" } },
            dir.Path());
        const std::string drawn = testsupport::ReadFileText(recording);
        EXPECT_EQ(run.status, 0) << sample << run.err;
        for (const std::string& text : texts)
            EXPECT_NE(drawn.find(text), std::string::npos) << sample << ": " << text;
        EXPECT_EQ(Count(drawn, "DrawPict "), pictures) << sample;
        EXPECT_EQ(drawn.find("never print"), std::string::npos) << sample;
    }
}

} // namespace
