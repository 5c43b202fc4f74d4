#include "WinMain.h"

#include "AppSettings.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "PrintJob.h"
#include "Printers.h"
#include "PrintingLibrary.h"
#include "SettingsStore.h"
#include "SingleInstance.h"
#include "TempFolder.h"
#include "TextConversion.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace shell {
namespace {

// Printers that do what a test tells them and remember how they were called.
struct PrinterCall {
    enum Kind { Document, Workbook } kind;
    std::u16string path;
    WindowHandle window;
};

struct PrinterScript {
    int result = 1;
    std::int32_t finalStatus = 0;
    std::vector<PrinterCall> calls;
};

PrinterScript script;

int Printed(PrinterCall::Kind kind, WindowHandle window, const char16_t* path)
{
    script.calls.push_back({ kind, path, window });
    printengine::Job().FinalStatus = script.finalStatus;
    return script.result;
}

namespace fs = std::filesystem;

const std::filesystem::path kStubs = TALLOWIN_PLOTWISE_STUBS;
constexpr std::u16string_view kMissingLibraryText = u"Plotwise DLL missing or outdated";

// A socket standing for a running interactive copy of the program.
class Listener {
public:
    // Binds a socket at `path`; `listen` false leaves it as an ended copy
    // leaves its socket behind.
    explicit Listener(const std::filesystem::path& path, bool listen = true)
    {
        socket_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        path.native().copy(address.sun_path, sizeof address.sun_path - 1);
        ready_ = socket_ >= 0 && bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
            && (!listen || ::listen(socket_, 4) == 0);
    }
    ~Listener()
    {
        if (socket_ >= 0)
            close(socket_);
    }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    bool Ready() const { return ready_; }

    // What the next connecting start sent within 5 s; empty when none connected.
    std::string Receive()
    {
        pollfd waiting = { socket_, POLLIN, 0 };
        if (poll(&waiting, 1, 5000) != 1)
            return {};
        const int connection = accept(socket_, nullptr, nullptr);
        if (connection < 0)
            return {};
        std::string received;
        char buffer[64];
        ssize_t count;
        while ((count = read(connection, buffer, sizeof buffer)) > 0)
            received.append(buffer, static_cast<std::size_t>(count));
        close(connection);
        return received;
    }

private:
    int socket_ = -1;
    bool ready_ = false;
};

// A window system whose window can be made to fail.
class TestWindowSystem final : public platform::WindowModel {
public:
    bool RegisterClassW(const platform::WindowClass& windowClass) override
    {
        registeredClass = windowClass.ClassName;
        registeredStyle = windowClass.Style;
        return WindowModel::RegisterClassW(windowClass);
    }
    WindowHandle CreateWindowExW(
        const std::u16string& className, const std::u16string& title, platform::ModuleHandle module) override
    {
        createdClass = className;
        createdTitle = title;
        window = fail ? nullptr : WindowModel::CreateWindowExW(className, title, module);
        return window;
    }

    bool fail = false;
    WindowHandle window = nullptr;
    std::u16string registeredClass;
    std::uint32_t registeredStyle = 0;
    std::u16string createdClass;
    std::u16string createdTitle;
};

class WinMainTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("TALLOWIN_REGISTRY", registry_.c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (directory_ / "runtime").c_str(), 1);
        UseLibraryDirectory("current");
        platform::SetWindowSystem(&windows_);
        platform::SetMessageBoxHost([this](std::u16string_view text, std::u16string_view) {
            messages_.emplace_back(text);
            return platform::IDOK;
        });
        script = PrinterScript {};
        core::ResetAppSettings();
        core::ResetRunOptions();
    }
    void TearDown() override
    {
        ReleasePrintingLibrary();
        platform::SetWindowSystem(nullptr);
        SetMainWindow(nullptr);
        platform::SetMessageBoxHost({});
        unsetenv("XDG_RUNTIME_DIR");
        core::ResetAppSettings();
        core::ResetRunOptions();
    }

    void UseLibraryDirectory(const std::string& name) { setenv("TALLOWIN_LIBDIR", (kStubs / name).c_str(), 1); }

    // One start as a new process would make it.
    int Start(const char16_t* commandLine)
    {
        ReleasePrintingLibrary();
        core::ResetAppSettings();
        core::ResetRunOptions();
        messages_.clear();
        script.calls.clear();
        return WinMain(platform::ProgramModule(), nullptr, commandLine, 1);
    }

    testsupport::TempFolder directory_;
    const std::filesystem::path registry_ = directory_ / "registry.reg";
    TestWindowSystem windows_;
    std::vector<std::u16string> messages_;
};

TEST_F(WinMainTest, MissingOrOldPrintingLibraryEndsAtOnce)
{
    // The library is checked before the command line is read, whatever it asks.
    const std::pair<const char*, const char16_t*> starts[]
        = { { "empty", u"/F \\a.txt /E" }, { "noversion", u"/F \\a.txt" }, { "old", u"/XG0 /E" }, { "incomplete", u"" },
              { "no-such-directory", u"/F \\a.txt /E" } };
    for (const auto& [library, commandLine] : starts) {
        SCOPED_TRACE(std::string(library) + " " + Utf16ToUtf8(commandLine));
        UseLibraryDirectory(library);
        EXPECT_EQ(Start(commandLine), 0);
        EXPECT_TRUE(messages_.size() == 1 && messages_[0].starts_with(kMissingLibraryText));
        EXPECT_TRUE(script.calls.empty());
        EXPECT_FALSE(platform::PrintingLibraryBound());
        // The command line was not read, so nothing was stored.
        EXPECT_FALSE(std::filesystem::exists(registry_));
        EXPECT_FALSE(core::HasCommandLineFile());
    }
}

// A print-only start hands its file to the printer of its kind with the
// main window, made from the program's class, and ends with the status of
// the print.
TEST_F(WinMainTest, PrintOnlyStartsGoToTheirPrinterAndEndWithTheirStatus)
{
    struct Row {
        const char16_t* commandLine;
        int result;
        std::int32_t finalStatus;
        bool windowFails;
        int status;
        bool settingsSaved;
        PrinterCall::Kind kind = PrinterCall::Document;
        std::u16string path = u"\\a.txt";
    };
    const Row rows[] = {
        { u"/F \\a.txt", 1, 0, false, 1, true },
        { u"/F \\a.txt /E", 1, 0, false, 0, true },
        { u"/F \\a.txt", 0, 0, false, 0, false },
        { u"/F \\a.txt /E", 0, 0, false, 2, false },
        { u"/F \\a.txt /E", 1, 1, false, 63, false },
        { u"/F \\a.txt /E", 1, 2, false, 995, false },
        { u"/F \\a.txt", 1, 0, true, 0, false },
        { u"/F \\a.txt /E", 1, 0, true, 995, false },
        { u"/E /F", 0, 0, false, 2, false, PrinterCall::Document, u"" },
        { u"/F \"\\My Documents\\a b.rtf\" /Q/E", 1, 0, false, 0, true, PrinterCall::Document,
            u"\\My Documents\\a b.rtf" },
        { u"/A \\book.pxl /XQ", 1, 0, false, 1, true, PrinterCall::Workbook, u"\\book.pxl" },
        { u"/X /F \\a.txt", 1, 0, false, 1, true },
        { u"/F", 1, 0, false, 1, true, PrinterCall::Document, u"" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Utf16ToUtf8(row.commandLine) + " result " + std::to_string(row.result) + " status "
            + std::to_string(row.finalStatus) + (row.windowFails ? " no window" : ""));
        std::filesystem::remove(registry_);
        script.result = row.result;
        script.finalStatus = row.finalStatus;
        windows_.fail = row.windowFails;
        EXPECT_EQ(Start(row.commandLine), row.status);
        EXPECT_EQ(std::filesystem::exists(registry_), row.settingsSaved);
        EXPECT_TRUE(messages_.empty());
        ASSERT_EQ(script.calls.size(), row.windowFails ? 0u : 1u);
        if (row.windowFails)
            continue;
        EXPECT_EQ(script.calls[0].kind, row.kind);
        EXPECT_EQ(script.calls[0].path, row.path);
        EXPECT_EQ(script.calls[0].window, windows_.window);
        EXPECT_EQ(MainWindow(), windows_.window);
    }
    EXPECT_TRUE(platform::PrintingLibraryBound());
    EXPECT_EQ(PrintingLibraryVersion(), kMinPrintingLibraryVersion);
    ASSERT_NE(PLW_GetVersion, nullptr);
    EXPECT_EQ(PLW_GetVersion(), kMinPrintingLibraryVersion);
    EXPECT_EQ(windows_.registeredClass, u"TALLOWIN");
    EXPECT_EQ(windows_.registeredStyle, 3u);
    EXPECT_EQ(windows_.createdClass, u"TALLOWIN");
    EXPECT_EQ(windows_.createdTitle, u"Tallowin");
}

TEST_F(WinMainTest, SecondInteractiveStartBringsTheRunningCopyForwardAndAFileStartNeverLooks)
{
    Listener listener(InstanceSocketPath(u"TALLOWIN", u"Tallowin"));
    ASSERT_TRUE(listener.Ready());

    const std::pair<const char16_t*, int> starts[] = { { u"", 1 }, { u"/E", 0 }, { u"/X /E", 0 }, { nullptr, 1 } };
    for (const auto& [commandLine, status] : starts) {
        EXPECT_EQ(Start(commandLine), status);
        EXPECT_EQ(listener.Receive(), kBringToFrontRequest);
    }
    EXPECT_TRUE(windows_.createdClass.empty());

    EXPECT_EQ(Start(u"/F \\a.txt /E"), 0);
    EXPECT_EQ(script.calls.size(), 1u);
    // Had the start with a file connected, its empty connection would be
    // the first one waiting here.
    Start(u"/XG1");
    EXPECT_EQ(listener.Receive(), kBringToFrontRequest);
}

TEST_F(WinMainTest, InteractiveStartsAndTheLongestCommandLine)
{
    core::Settings().SheetHeadings = 0;
    core::Settings().QuickPrint = 1;
    core::SaveSettings();
    // A command line that is too long is not parsed, so the start is
    // interactive; the start-up reads the settings all the same. The user's
    // Exit ends the run with status 0.
    std::u16string commandLine = u"/F \\a.txt /E ";
    commandLine.resize(260, u'x');
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Start(commandLine.c_str()), 0);
    EXPECT_EQ(core::Settings().SheetHeadings, 0);
    EXPECT_EQ(core::Settings().QuickPrint, 1);
    EXPECT_EQ(Start(u"/I"), 0);
    ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(script.calls.empty());
    EXPECT_EQ(windows_.createdTitle, u"Tallowin");
}

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1); }
    void TearDown() override { unsetenv("XDG_RUNTIME_DIR"); }

    static bool Found() { return FindWindowW(u"TALLOWIN", u"Tallowin").has_value(); }

    testsupport::TempFolder folder_;
    const fs::path runtime_ = folder_ / "runtime";
};

TEST_F(SingleInstanceTest, ACopyIsFoundOnlyWhereOneListensOnItsSocketInAPrivateFolder)
{
    EXPECT_FALSE(Found()) << "nothing listens";
    const fs::path path = InstanceSocketPath(u"TALLOWIN", u"Tallowin");
    {
        Listener ended(path, false);
        ASSERT_TRUE(ended.Ready());
        EXPECT_FALSE(Found()) << "the socket an ended copy left";
    }
    fs::remove(path);
    Listener running(path);
    ASSERT_TRUE(running.Ready());
    std::optional<RunningCopy> copy = FindWindowW(u"TALLOWIN", u"Tallowin");
    ASSERT_TRUE(copy.has_value());
    EXPECT_TRUE(SetForegroundWindow(*copy));
    // Another class or title is another program.
    EXPECT_FALSE(FindWindowW(u"TALLOWIN", u"Tallowin 2").has_value());
    EXPECT_FALSE(FindWindowW(u"OTHER", u"Tallowin").has_value());
    fs::permissions(runtime_, fs::perms::owner_all | fs::perms::group_write | fs::perms::others_write);
    EXPECT_FALSE(Found()) << "a folder others may write";

    EXPECT_EQ(InstanceSocketPath(u"TALLOWIN", u"Tallowin"), runtime_ / "tallowin-TALLOWIN-Tallowin.sock");

    // Titles a language library may translate: other characters and long
    // titles stay distinct and within the limit of a socket address.
    const fs::path first = InstanceSocketPath(u"TALLOWIN", std::u16string(100, u'T'));
    EXPECT_NE(first, InstanceSocketPath(u"TALLOWIN", std::u16string(99, u'T') + u"U"));
    EXPECT_LT(first.filename().native().size(), 80u);
    EXPECT_NE(InstanceSocketPath(u"TALLOWIN", u"a/b"), InstanceSocketPath(u"TALLOWIN", u"a_b"));
    EXPECT_EQ(InstanceSocketPath(u"TALLOWIN", u"../x").parent_path(), runtime_);

    // A runtime folder too deep for a socket finds nothing.
    fs::path deep = runtime_ / std::string(100, 'd');
    fs::create_directories(deep);
    fs::permissions(deep, fs::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", deep.c_str(), 1);
    EXPECT_FALSE(Found());

    // Without a runtime folder, a folder of the user's own.
    unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(InstanceSocketPath(u"TALLOWIN", u"Tallowin").parent_path(),
        fs::path("/tmp/tallowin-" + std::to_string(getuid())));
}

} // namespace

int OpenAndPrintDocument(WindowHandle window, platform::ModuleHandle, const char16_t* path)
{
    return Printed(PrinterCall::Document, window, path);
}

int PrintWorkbook(WindowHandle window, platform::ModuleHandle, const char16_t* path)
{
    return Printed(PrinterCall::Workbook, window, path);
}

} // namespace shell
