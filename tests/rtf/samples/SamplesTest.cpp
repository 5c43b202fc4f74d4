// Prints the RTF and Pocket Word samples with the built program, as the main
// job does, on the printing library's recording of drawing calls: each ends
// with exit status 0 under /E and draws its text and pictures.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct ProgramRun {
    int Status = -1;
    std::string Recording;
};

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

// The command line separates folders with "\".
std::string Backslashed(const fs::path& path)
{
    std::string text = path.string();
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

ProgramRun PrintSample(const fs::path& sample, const fs::path& dir)
{
    const fs::path recording = dir / "recording.txt";
    fs::remove(recording);
    const pid_t child = fork();
    if (child == 0) {
        setenv("PLOTWISE_OUTPUT", recording.c_str(), 1);
        setenv("TALLOWIN_REGISTRY", (dir / "registry.reg").c_str(), 1);
        setenv("LANG", "en_US.UTF-8", 1);
        setenv("LC_ALL", "en_US.UTF-8", 1);
        std::string file = Backslashed(sample);
        std::vector<char*> argv { const_cast<char*>(TALLOWIN_PROGRAM), const_cast<char*>("/F"), file.data(),
            const_cast<char*>("/Q"), const_cast<char*>("/E"), nullptr };
        execv(TALLOWIN_PROGRAM, argv.data());
        _exit(126);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return { WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(recording) };
}

std::size_t Count(const std::string& text, const std::string& what)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
        ++count;
    return count;
}

TEST(SamplesTest, EverySamplePrintsItsText)
{
    struct Row {
        const char* sample;
        std::vector<std::string> texts;
        std::size_t pictures;
    };
    const Row rows[] = {
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
    const fs::path dir = fs::temp_directory_path() / ("tallowin-samples-" + std::to_string(getpid()));
    fs::create_directories(dir);
    for (const Row& row : rows) {
        const ProgramRun run = PrintSample(fs::path(SAMPLES_DIR) / row.sample, dir);
        EXPECT_EQ(run.Status, 0) << row.sample;
        for (const std::string& text : row.texts)
            EXPECT_NE(run.Recording.find(text), std::string::npos) << row.sample << ": " << text;
        EXPECT_EQ(Count(run.Recording, "DrawPict "), row.pictures) << row.sample;
        EXPECT_EQ(run.Recording.find("never print"), std::string::npos) << row.sample;
    }
    fs::remove_all(dir);
}

} // namespace
