#pragma once

// The bottom of the PDF writer: numbered objects written one after another
// to an output file, their offsets kept for the cross-reference table, and
// the number formatting every content stream uses. An object's number may be
// reserved long before the object is written, so that pages can refer to
// fonts whose glyphs are only known at the end of the job.

#include "OutputFile.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

struct libdeflate_compressor;

namespace plotwise {

// Appends an integer in decimal.
void AppendInteger(std::string& out, int64_t value);
// Appends a real with at most `decimals` digits after the point, without
// trailing zeros ("12", "0.5", "-3.25").
void AppendReal(std::string& out, double value, int decimals = 4);
// Appends bytes as a PDF hexadecimal string "<...>".
void AppendHexString(std::string& out, std::string_view bytes);
// Appends a character as UTF-16BE in hexadecimal "<...>", a pair of
// surrogates beyond the first plane (also a code of the Identity encoding).
void AppendUtf16Hex(std::string& out, char32_t character);
// Appends UTF-8 text as a PDF text string: UTF-16BE with its byte order mark,
// in hexadecimal.
void AppendTextString(std::string& out, std::string_view utf8);

// Whether a stream's data is compressed before it is written.
enum class StreamData { Compressed, AsIs };

// The data of a stream made on the writing thread, just before it is
// compressed: what it reads must not change once it is handed over, and it
// is destroyed on the caller's thread, at its next write or when the file
// stops, so that the memory it holds goes back where it came from without
// the two threads contending for the allocator.
class StreamBuilder {
public:
    virtual ~StreamBuilder() = default;
    // The data, written into buffer (whose room it reuses).
    virtual std::string Build(std::string buffer) = 0;
};

// Objects are compressed and written by a thread of the file's own, in the
// order they are given, so that the next page is laid out while the last
// one is written.
class PdfFile {
public:
    explicit PdfFile(OutputFile& file);
    PdfFile(const PdfFile&) = delete;
    PdfFile& operator=(const PdfFile&) = delete;
    ~PdfFile();

    // Writes the header. False when the file cannot be written.
    bool Begin();
    // A new object number, for an object written later.
    int Reserve();
    // Writes object `number` whose body is `body` ("<< ... >>", "[...]" ...).
    // False once a write has failed.
    bool WriteObject(int number, std::string body);
    // Writes object `number` as a stream: `dictionary` holds the entries
    // other than /Length and /Filter, without the surrounding "<< >>".
    bool WriteStream(int number, std::string dictionary, std::string data, StreamData kind);
    // The same, with the data made by builder on the writing thread;
    // expectedBytes is about the size it will have.
    bool WriteStream(int number, std::string dictionary, std::unique_ptr<StreamBuilder> builder,
        size_t expectedBytes, StreamData kind);
    // Waits for every object, then writes the cross-reference table and the
    // trailer. False when any write failed or a reserved number was never
    // written.
    bool Finish(int root, int info);
    // Streams given with a builder and not written yet.
    size_t StreamsToBuild() const { return toBuild_.load(std::memory_order_relaxed); }
    // An empty text with room from a stream already written, for the next
    // stream's data; a new text when there is none.
    std::string SpareBuffer();
    // Stops writing; what was not written yet is dropped. The output file
    // may then be abandoned.
    void Cancel();

private:
    struct Pending {
        int Number = 0;
        bool IsStream = false;
        std::string Dictionary; // or the body of a plain object
        std::string Data;
        std::unique_ptr<StreamBuilder> Builder; // makes Data when set
        StreamData Kind = StreamData::AsIs;
        size_t Bytes = 0; // counted against the queue's bound
    };

    struct CompressorDeleter {
        void operator()(libdeflate_compressor* compressor) const;
    };

    bool Enqueue(Pending pending);
    void Run();
    bool WritePending(Pending& pending);
    bool Write(std::string_view bytes);
    void StopWorker(bool discard);

    OutputFile& file_;
    int reserved_ = 0;

    // Shared with the writing thread.
    std::mutex lock_;
    std::condition_variable wake_;
    std::condition_variable room_;
    std::deque<Pending> queue_;
    size_t queuedBytes_ = 0;
    std::vector<std::string> spare_;
    std::vector<std::unique_ptr<StreamBuilder>> built_; // to be destroyed by the caller
    bool stopping_ = false;
    bool workerWaiting_ = false;
    bool producerWaiting_ = false;
    std::atomic<bool> failed_ = false;
    std::atomic<size_t> toBuild_ = 0;
    std::thread worker_;

    // Used by the writing thread only, and by Finish once it has stopped.
    std::unique_ptr<libdeflate_compressor, CompressorDeleter> compressor_;
    std::string compressed_;
    std::vector<std::pair<int, uint64_t>> offsets_; // object number, offset
    uint64_t written_ = 0;
};

} // namespace plotwise
