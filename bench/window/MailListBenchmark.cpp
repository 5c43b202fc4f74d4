// The e-mail view's list over a folder of 10,000 messages, as a Maildir and
// as one mbox file of the same messages: opening the folder (logon, store,
// folder, the sorted list of entries; for the mbox a scan of the file) and
// reading the rows of the first screen, as the window shows them. The target
// is under 500 ms for either.

#include <MailRows.h>
#include <MailStoreAccess.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr int kMessages = 10000;
constexpr int kRowsShown = 20;

// The scratch folder, holding Maildir/ and Inbox (the mbox) with the same messages.
const fs::path& Stores()
{
    static const fs::path stores = [] {
        fs::path path = fs::temp_directory_path() / ("tallowin-mail-bench-" + std::to_string(getpid()));
        for (const char* sub : { "cur", "new", "tmp" })
            fs::create_directories(path / "Maildir" / sub);
        std::ofstream mbox(path / "Inbox", std::ios::binary);
        for (int i = 0; i < kMessages; ++i) {
            const std::string headers = "From: Sender " + std::to_string(i) + " <sender" + std::to_string(i)
                + "@example.org>\nTo: reader@example.org\nSubject: Message number " + std::to_string(i)
                + "\nDate: Mon, 07 Dec 2026 10:00:00 +0000\n";
            const std::string body = "Content-Type: text/plain\n\n" + std::string(2000, 'x') + "\n";
            std::ofstream(
                path / "Maildir" / "cur" / (std::to_string(1700000000 + i) + ".M" + std::to_string(i) + "P1.bench:2,S"))
                << headers << body;
            mbox << "From sender" << i << "@example.org Mon Dec  7 10:00:00 2026\n"
                 << headers << "Status: RO\n"
                 << body << "\n";
        }
        return path;
    }();
    return stores;
}

void OpenFolderOf10000(benchmark::State& state, const char* store)
{
    const fs::path config = Stores() / (std::string(store) + ".conf");
    std::ofstream(config) << "Bench = " << (Stores() / store).string() << "\n";
    setenv("TALLOWIN_MAILSTORES", config.c_str(), 1);
    std::int32_t listed = 0;
    for (auto _ : state) {
        if (email::OpenMailView(false) != 0) {
            state.SkipWithError("the folder did not open");
            break;
        }
        listed = email::Mail().messageCount;
        for (int row = 0; row < kRowsShown; ++row)
            benchmark::DoNotOptimize(email::ReadMailRow(row));
        email::CloseMailSession(true);
    }
    state.counters["messages"] = listed;
}
BENCHMARK_CAPTURE(OpenFolderOf10000, Maildir, "Maildir")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OpenFolderOf10000, Mbox, "Inbox")->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::error_code ignored;
    fs::remove_all(Stores(), ignored);
    return 0;
}
