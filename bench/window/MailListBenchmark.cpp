// The e-mail view's list over a Maildir folder of 10,000 messages: opening
// the folder (logon, store, folder, the sorted list of entries) and reading
// the rows of the first screen, as the window shows them. The target is
// under 500 ms; no message body is read.

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

const fs::path& Store()
{
    static const fs::path store = [] {
        fs::path path = fs::temp_directory_path() / ("tallowin-mail-bench-" + std::to_string(getpid()));
        for (const char* sub : { "cur", "new", "tmp" })
            fs::create_directories(path / "Maildir" / sub);
        for (int i = 0; i < kMessages; ++i) {
            std::ofstream out(path / "Maildir" / "cur" / (std::to_string(1700000000 + i) + ".M" + std::to_string(i) + "P1.bench:2,S"));
            out << "From: Sender " << i << " <sender" << i << "@example.org>\n"
                << "To: reader@example.org\nSubject: Message number " << i << "\n"
                << "Date: Mon, 07 Dec 2026 10:00:00 +0000\nContent-Type: text/plain\n\n"
                << std::string(2000, 'x') << "\n";
        }
        std::ofstream(path / "stores.conf") << "Bench = " << (path / "Maildir").string() << "\n";
        setenv("TALLOWIN_MAILSTORES", (path / "stores.conf").c_str(), 1);
        return path;
    }();
    return store;
}

void BM_OpenFolderOf10000(benchmark::State& state)
{
    Store();
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
BENCHMARK(BM_OpenFolderOf10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::error_code ignored;
    fs::remove_all(Store(), ignored);
    return 0;
}
