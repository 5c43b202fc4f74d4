// The e-mail view's list over an mbox file of 10,000 messages (the messages
// of MailListBenchmark.cpp, one after another): opening the folder (logon,
// store, folder, a scan of the file, the sorted list of entries) and reading
// the rows of the first screen. The target is under 500 ms.

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
        fs::path path = fs::temp_directory_path() / ("tallowin-mbox-bench-" + std::to_string(getpid()));
        fs::create_directories(path);
        std::ofstream out(path / "Inbox", std::ios::binary);
        for (int i = 0; i < kMessages; ++i) {
            out << "From sender" << i << "@example.org Mon Dec  7 10:00:00 2026\n"
                << "From: Sender " << i << " <sender" << i << "@example.org>\n"
                << "To: reader@example.org\nSubject: Message number " << i << "\n"
                << "Date: Mon, 07 Dec 2026 10:00:00 +0000\nStatus: RO\nContent-Type: text/plain\n\n"
                << std::string(2000, 'x') << "\n\n";
        }
        out.close();
        std::ofstream(path / "stores.conf") << "Bench = " << (path / "Inbox").string() << "\n";
        setenv("TALLOWIN_MAILSTORES", (path / "stores.conf").c_str(), 1);
        return path;
    }();
    return store;
}

void BM_OpenMboxOf10000(benchmark::State& state)
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
BENCHMARK(BM_OpenMboxOf10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::error_code ignored;
    fs::remove_all(Store(), ignored);
    return 0;
}
