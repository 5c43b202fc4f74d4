// Prints through a CUPS scheduler of the test's own, on a private socket
// and spool, as a user with a default printer would: the queue chosen, the
// job's name and the paper are read back from the scheduler and its spool.
#include "ProgramRun.h"
#include "TempFolder.h"

#include <cups/cups.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testsupport::ProgramOutcome;

constexpr const char* kCupsd = "/usr/sbin/cupsd";
constexpr const char* kLpadmin = "/usr/sbin/lpadmin";
constexpr int kPrintedWithoutExitCodes = 1;
// "letter.txt" as the document information of a PDF holds it, in UTF-16.
constexpr const char* kTitle = "/Title<FEFF006C00650074007400650072002E007400780074>";

// A scheduler listening only on a socket in its own folder, keeping the
// documents of finished jobs in its spool.
class PrivateScheduler {
public:
    explicit PrivateScheduler(const fs::path& root)
        : root_(root)
    {
        for (const char* folder : { "spool", "tmp", "cache", "state", "log", "etc" })
            fs::create_directories(root_ / folder);
        // The scheduler runs its jobs as lp, which must reach the spool.
        for (const fs::path& path : { root_, root_ / "tmp", root_ / "log" })
            fs::permissions(path, fs::perms::all);
        std::ofstream(root_ / "cupsd.conf") << "Listen " << Socket().string() << "\n"
                                            << "LogLevel warn\nWebInterface No\nBrowsing No\nPreserveJobFiles Yes\n"
                                            << "DefaultAuthType None\n"
                                            << "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                            << "<Policy default>\n  <Limit All>\n    Order deny,allow\n"
                                            << "  </Limit>\n</Policy>\n";
        std::ofstream(root_ / "cups-files.conf")
            << "ServerRoot " << (root_ / "etc").string() << "\nRequestRoot " << (root_ / "spool").string()
            << "\nTempDir " << (root_ / "tmp").string() << "\nCacheDir " << (root_ / "cache").string() << "\nStateDir "
            << (root_ / "state").string() << "\nErrorLog " << (root_ / "log/error_log").string() << "\nAccessLog "
            << (root_ / "log/access_log").string() << "\nPageLog " << (root_ / "log/page_log").string()
            << "\nUser lp\nGroup lp\nSystemGroup root\n";
    }

    ~PrivateScheduler()
    {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }

    fs::path Socket() const { return root_ / "cups.sock"; }

    // Starts the scheduler; the reason it cannot run, or nothing.
    std::optional<std::string> Start()
    {
        if (access(kCupsd, X_OK) != 0 || access(kLpadmin, X_OK) != 0)
            return std::string("no CUPS scheduler here (cups-daemon and cups-client are not installed)");
        if (geteuid() != 0)
            return std::string("the CUPS scheduler needs root to run its jobs as lp");
        const std::string config = (root_ / "cupsd.conf").string();
        const std::string files = (root_ / "cups-files.conf").string();
        pid_ = fork();
        if (pid_ == 0) {
            execl(kCupsd, kCupsd, "-f", "-c", config.c_str(), "-s", files.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int tries = 0; tries < 100; ++tries) {
            if (fs::exists(Socket()) && Admin({ "-p", "probe", "-E", "-v", "file:///dev/null", "-m", "raw" })) {
                Admin({ "-x", "probe" });
                return std::nullopt;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return std::string("the CUPS scheduler did not start: ") + testsupport::ReadFileText(root_ / "log/error_log");
    }

    // Runs lpadmin against this scheduler.
    bool Admin(std::vector<std::string> arguments) const
    {
        arguments.insert(arguments.begin(), { "-h", Socket().string() });
        const ProgramOutcome outcome
            = testsupport::RunProgram(kLpadmin, arguments, { { "CUPS_SERVER", Socket().string() } }, root_ / "tmp");
        return outcome.status == 0;
    }

    struct Job {
        int Id = 0;
        std::string Queue;
        std::string Title;
        std::string Document; // the spooled bytes
    };

    // The jobs the scheduler has taken, oldest first.
    std::vector<Job> Jobs() const
    {
        std::vector<Job> jobs;
        http_t* connection
            = httpConnect2(Socket().c_str(), 0, nullptr, AF_LOCAL, HTTP_ENCRYPTION_NEVER, 1, 5000, nullptr);
        if (!connection)
            return jobs;
        cups_job_t* list = nullptr;
        const int count = cupsGetJobs2(connection, &list, nullptr, 0, CUPS_WHICHJOBS_ALL);
        for (int i = 0; i < count; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "d%05d-001", list[i].id);
            jobs.push_back(
                { list[i].id, list[i].dest, list[i].title, testsupport::ReadFileText(root_ / "spool" / name) });
        }
        cupsFreeJobs(count, list);
        std::sort(jobs.begin(), jobs.end(), [](const Job& a, const Job& b) { return a.Id < b.Id; });
        httpClose(connection);
        return jobs;
    }

private:
    fs::path root_;
    pid_t pid_ = -1;
};

class PrintQueueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (std::optional<std::string> reason = scheduler_.Start())
            GTEST_SKIP() << "skipped: " << *reason;
        for (const auto& [queue, media] :
            { std::pair { "office", "na_letter_8.5x11in" }, { "lab", "iso_a5_148x210mm" } })
            ASSERT_TRUE(scheduler_.Admin({ "-p", queue, "-E", "-v", "file:///dev/null", "-m", "raw", "-o",
                std::string("media-default=") + media }));
        ASSERT_TRUE(scheduler_.Admin({ "-d", "office" }));
        folder_.Write("papersize", "a4\n");
        folder_.Write("letter.txt", "Dear reader,\nthis goes to the printer.\n");
    }

    ProgramOutcome Run(const std::vector<std::string>& arguments, std::map<std::string, std::string> environment = {})
    {
        environment.emplace("CUPS_SERVER", scheduler_.Socket().string());
        environment.emplace("HOME", folder_.Path().string());
        environment.emplace("TALLOWIN_LIBDIR", TALLOWIN_LIBRARY_DIRECTORY);
        environment.emplace("TALLOWIN_REGISTRY", (folder_ / "registry.reg").string());
        environment.emplace("XDG_RUNTIME_DIR", (folder_ / "runtime").string());
        environment.emplace("XDG_DOCUMENTS_DIR", (folder_ / "Documents").string());
        environment.emplace("PAPERCONF", (folder_ / "papersize").string());
        environment.emplace("LC_ALL", "C");
        return testsupport::RunProgram(TALLOWIN_PROGRAM, arguments, environment, folder_.Path());
    }

    testsupport::TempFolder folder_;
    PrivateScheduler scheduler_ { folder_ / "cups" };
};

TEST_F(PrintQueueTest, TheDefaultQueuePrintsTheDocumentTitledWithItsNameOnItsPaper)
{
    struct Case {
        const char* name;
        std::vector<std::string> arguments;
        std::map<std::string, std::string> environment;
        const char* queue; // or nothing: a file destination keeps the pages from the queue
        const char* mediaBox;
        fs::path file = {};
    };
    const std::string letter = (folder_ / "letter.txt").string();
    const Case cases[] = {
        { "the server's default on the queue's paper", { letter }, {}, "office", "/MediaBox[0 0 612 792]" },
        { "--paper over the queue's", { "--paper=a4", letter }, {}, "office", "/MediaBox[0 0 595.2756 841.8898]" },
        { "LPDEST over the default", { "--file=" + letter, "--quick" }, { { "LPDEST", "lab" } }, "lab",
            "/MediaBox[0 0 419.5276 595.2756]" },
        { "--printer", { "--printer=lab", letter }, {}, "lab", "/MediaBox[0 0 419.5276 595.2756]" },
        { "--output", { "--output=" + (folder_ / "copy.pdf").string(), letter }, {}, nullptr, nullptr,
            folder_ / "copy.pdf" },
        { "an output folder", { letter }, { { "PLOTWISE_OUTPUT_DIR", (folder_ / "out").string() } }, nullptr, nullptr,
            folder_ / "out/letter.txt.pdf" },
    };
    std::size_t jobs = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ProgramOutcome outcome = Run(c.arguments, c.environment);
        EXPECT_EQ(outcome.status, kPrintedWithoutExitCodes) << outcome.err;
        const std::vector<PrivateScheduler::Job> taken = scheduler_.Jobs();
        ASSERT_EQ(taken.size(), c.queue ? ++jobs : jobs);
        if (!c.queue) {
            EXPECT_TRUE(testsupport::ReadFileText(c.file).starts_with("%PDF-"));
            continue;
        }
        EXPECT_EQ(taken.back().Queue, c.queue);
        EXPECT_EQ(taken.back().Title, "letter.txt");
        const std::string& document = taken.back().Document;
        EXPECT_TRUE(document.starts_with("%PDF-"));
        const std::size_t box = document.find("/MediaBox[");
        EXPECT_EQ(document.substr(box, document.find(']', box) + 1 - box), c.mediaBox);
        EXPECT_NE(document.find(kTitle), std::string::npos);
    }
}

} // namespace
