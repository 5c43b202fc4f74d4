// Listing a folder of 10,000 messages in each of the three sort orders, the
// way the e-mail list fills itself: contents table, two columns, one sort
// key, rows fetched one at a time. Target: under 1 s per sort order.
#include "MailStore.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace platform;

constexpr int kMessageCount = 10'000;

// A temporary Maildir made once for the whole run and removed at exit.
class BenchMaildir {
public:
    BenchMaildir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tallowin-bench-XXXXXX").string();
        root_ = ::mkdtemp(pattern.data());
        for (const char* sub : { "cur", "new", "tmp" }) {
            std::filesystem::create_directories(root_ / sub);
        }
        const std::string body(2500, 'x');
        for (int i = 0; i < kMessageCount; ++i) {
            const std::string name = std::to_string(1700000000 + (i * 7919) % kMessageCount) + ".M" + std::to_string(i)
                + "P1.bench" + (i % 3 == 0 ? "" : ":2,S");
            std::ofstream out(root_ / (i % 3 == 0 ? "new" : "cur") / name, std::ios::binary);
            out << "Return-Path: <sender" << i << "@example.org>\r\n"
                << "Received: from mx.example.org by mail.example.org with ESMTPS id " << i << "\r\n"
                << "\tfor <pat@example.org>; Fri, 05 Dec 2025 10:00:00 +0000\r\n"
                << "From: =?utf-8?q?Sender_" << (i * 31) % 997 << "?= <sender" << i << "@example.org>\r\n"
                << "To: Pat <pat@example.org>\r\n"
                << "Subject: =?iso-8859-1?q?Gr=FC=DFe_number_" << (i * 17) % 1009 << "?=\r\n"
                << "Date: Fri, 05 Dec 2025 10:00:00 +0000\r\n"
                << "Message-ID: <" << i << "@example.org>\r\n"
                << "Content-Type: text/plain; charset=utf-8\r\n\r\n"
                << body << "\r\n";
        }
        MAPIInitialize(nullptr);
        OpenMaildirSession({ { u"Bench", root_ } }, &session_);
        session_->OpenMsgStore(0, {}, 0, &store_);
        ULONG count = 0;
        SPropValue* values = nullptr;
        const ULONG tag[] = { PR_CE_FIRST_FOLDER_ENTRYID };
        store_->GetProps(tag, 0, &count, &values);
        inbox_.assign(values[0].Value.bin.lpb, values[0].Value.bin.lpb + values[0].Value.bin.cb);
        MAPIFreeBuffer(values);
    }
    ~BenchMaildir()
    {
        std::error_code error;
        std::filesystem::remove_all(root_, error);
        MAPIUninitialize();
    }

    int List(ULONG key, ULONG order)
    {
        std::unique_ptr<IMAPIProp> folder;
        store_->OpenEntry(inbox_, 0, nullptr, &folder);
        std::unique_ptr<IMAPITable> table;
        AsFolder(folder.get())->GetContentsTable(0, &table);
        const ULONG columns[] = { PR_ENTRYID, key };
        table->SetColumns(columns, 0);
        const SSortOrder sort[] = { { key, order } };
        table->SortTable(sort, 0);
        int rows = 0;
        for (;;) {
            SRowSet* set = nullptr;
            if (Failed(table->QueryRows(1, 0, &set)) || set->cRows == 0) {
                FreeProws(set);
                break;
            }
            ++rows;
            FreeProws(set);
        }
        return rows;
    }

private:
    std::filesystem::path root_;
    std::unique_ptr<IMAPISession> session_;
    std::unique_ptr<IMsgStore> store_;
    std::vector<std::uint8_t> inbox_;
};

BenchMaildir& Maildir()
{
    static BenchMaildir maildir;
    return maildir;
}

void ListSorted(benchmark::State& state, ULONG key, ULONG order)
{
    Maildir();
    for (auto _ : state) {
        const int rows = Maildir().List(key, order);
        if (rows != kMessageCount) {
            state.SkipWithError("wrong row count");
        }
    }
}

void BM_ListBySender(benchmark::State& state)
{
    ListSorted(state, PR_SENDER_NAME_W, TABLE_SORT_ASCEND);
}
void BM_ListByReceivedDate(benchmark::State& state)
{
    ListSorted(state, PR_MESSAGE_DELIVERY_TIME, TABLE_SORT_DESCEND);
}
void BM_ListBySubject(benchmark::State& state)
{
    ListSorted(state, PR_SUBJECT_W, TABLE_SORT_ASCEND);
}

BENCHMARK(BM_ListBySender)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListByReceivedDate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListBySubject)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
