#include "Process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// A data folder with a help page, and a folder on PATH holding a stand-in
// for the desktop's page viewer that writes down the address it was given.
class ProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::temp_directory_path() / ("process-test-" + std::to_string(getpid()));
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "data" / "help");
        fs::create_directories(folder_ / "bin");
        std::ofstream(folder_ / "data" / "help" / "tallowin.htm") << "<html></html>";
        const fs::path viewer = folder_ / "bin" / "xdg-open";
        std::ofstream(viewer) << "#!/bin/sh\nprintf '%s' \"$1\" > '" << Opened().string() << ".part'\nmv '"
                              << Opened().string() << ".part' '" << Opened().string() << "'\n";
        fs::permissions(viewer, fs::perms::owner_all);
        savedPath_ = std::getenv("PATH") ? std::getenv("PATH") : "";
        setenv("PATH", ((folder_ / "bin").string() + ":" + savedPath_).c_str(), 1);
        setenv("TALLOWIN_DATADIR", (folder_ / "data").c_str(), 1);
    }

    void TearDown() override
    {
        setenv("PATH", savedPath_.c_str(), 1);
        unsetenv("TALLOWIN_DATADIR");
        fs::remove_all(folder_);
    }

    fs::path Opened() const { return folder_ / "opened"; }

    // What the viewer was asked to open; empty when it was not started
    // within a few seconds.
    std::string WaitForOpened() const
    {
        for (int i = 0; i < 500 && !fs::exists(Opened()); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::ifstream in(Opened());
        return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
    }

    fs::path folder_;
    std::string savedPath_;
};

TEST_F(ProcessTest, HelpViewerOpensOnlyThePagesOfTheHelpFolderAtTheirAnchor)
{
    for (const char16_t* commandLine : { u"file:missing.htm#docs", u"file:../help/tallowin.htm", u"file:..",
             u"file:#docs", u"http:tallowin.htm", u"" })
        EXPECT_FALSE(platform::CreateProcessW(u"peghelp", commandLine)) << std::u16string(commandLine).size();
    EXPECT_FALSE(fs::exists(Opened()));
    EXPECT_FALSE(platform::CreateProcessW(u"xdg-open", u"anything"));
    ASSERT_TRUE(platform::CreateProcessW(u"peghelp", u"file:tallowin.htm#excel"));
    EXPECT_EQ(WaitForOpened(), "file://" + (folder_ / "data" / "help" / "tallowin.htm").string() + "#excel");
    // Without a viewer the help is not shown.
    setenv("PATH", folder_.c_str(), 1);
    EXPECT_FALSE(platform::CreateProcessW(u"peghelp", u"file:tallowin.htm#docs"));
}

} // namespace
