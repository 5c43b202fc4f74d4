#include "PdfWriter.h"

#include "Fonts.h"

#include <libdeflate.h>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace plotwise {
namespace {

// Content streams are mostly short numbers and glyph codes: the fastest
// deflate level already halves them, higher levels cost more than they save.
constexpr int kCompressionLevel = 1;
constexpr int kMaximumDecimals = 6;
// Pages waiting to be compressed and written, at most.
constexpr size_t kMaximumQueuedBytes = 64 * 1024 * 1024;
constexpr size_t kSpareBuffers = 4;

} // namespace

void AppendInteger(std::string& out, int64_t value)
{
    char buffer[24];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, static_cast<size_t>(result.ptr - buffer));
}

void AppendReal(std::string& out, double value, int decimals)
{
    static constexpr int64_t kPowers[] = { 1, 10, 100, 1000, 10000, 100000, 1000000 };
    if (!std::isfinite(value)) {
        out += '0';
        return;
    }
    decimals = std::clamp(decimals, 0, kMaximumDecimals);
    // Beyond this the value is no longer a sensible coordinate; readers take
    // reals up to about 3.4e38, integers much less.
    constexpr double kLimit = 1e12;
    value = std::clamp(value, -kLimit, kLimit);
    // Most coordinates are whole device units.
    if (const auto integer = static_cast<int64_t>(value); static_cast<double>(integer) == value) {
        AppendInteger(out, integer);
        return;
    }
    int64_t scaled = std::llround(value * static_cast<double>(kPowers[decimals]));
    if (scaled < 0) {
        out += '-';
        scaled = -scaled;
    }
    int64_t whole = scaled / kPowers[decimals];
    int64_t fraction = scaled % kPowers[decimals];
    AppendInteger(out, whole);
    if (fraction == 0)
        return;
    while (fraction % 10 == 0) {
        fraction /= 10;
        --decimals;
    }
    out += '.';
    char digits[8];
    for (int i = decimals - 1; i >= 0; --i) {
        digits[i] = static_cast<char>('0' + fraction % 10);
        fraction /= 10;
    }
    out.append(digits, static_cast<size_t>(decimals));
}

void AppendHexString(std::string& out, std::string_view bytes)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += '<';
    for (unsigned char byte : bytes) {
        out += kHex[byte >> 4];
        out += kHex[byte & 0xF];
    }
    out += '>';
}

void AppendUtf16Hex(std::string& out, char32_t character)
{
    std::string bytes;
    auto unit = [&bytes](char32_t value) {
        bytes += static_cast<char>(value >> 8);
        bytes += static_cast<char>(value & 0xFF);
    };
    if (character > 0xFFFF) {
        character -= 0x10000;
        unit(0xD800 + (character >> 10));
        unit(0xDC00 + (character & 0x3FF));
    } else {
        unit(character);
    }
    AppendHexString(out, bytes);
}

void AppendTextString(std::string& out, std::string_view utf8)
{
    std::string bytes = "\xFE\xFF";
    for (char16_t unit : Utf8ToUtf16(utf8)) {
        bytes += static_cast<char>(unit >> 8);
        bytes += static_cast<char>(unit & 0xFF);
    }
    AppendHexString(out, bytes);
}

void PdfFile::CompressorDeleter::operator()(libdeflate_compressor* compressor) const
{
    libdeflate_free_compressor(compressor);
}

PdfFile::PdfFile(OutputFile& file)
    : file_(file)
{
}

PdfFile::~PdfFile()
{
    StopWorker(true);
}

bool PdfFile::Begin()
{
    // The binary comment tells transfer programs that the file is binary.
    return Write("%PDF-1.7\n%\xE2\xE3\xCF\xD3\n");
}

int PdfFile::Reserve()
{
    return ++reserved_;
}

bool PdfFile::WriteObject(int number, std::string body)
{
    Pending pending;
    pending.Number = number;
    pending.Dictionary = std::move(body);
    return Enqueue(std::move(pending));
}

bool PdfFile::WriteStream(int number, std::string dictionary, std::string data, StreamData kind)
{
    Pending pending;
    pending.Number = number;
    pending.IsStream = true;
    pending.Dictionary = std::move(dictionary);
    pending.Data = std::move(data);
    pending.Kind = kind;
    return Enqueue(std::move(pending));
}

bool PdfFile::WriteStream(int number, std::string dictionary, std::unique_ptr<StreamBuilder> builder,
    size_t expectedBytes, StreamData kind)
{
    Pending pending;
    pending.Number = number;
    pending.IsStream = true;
    pending.Dictionary = std::move(dictionary);
    pending.Builder = std::move(builder);
    pending.Kind = kind;
    pending.Bytes = expectedBytes;
    toBuild_.fetch_add(1, std::memory_order_relaxed);
    return Enqueue(std::move(pending));
}

bool PdfFile::Enqueue(Pending pending)
{
    if (failed_)
        return false;
    pending.Bytes += pending.Dictionary.size() + pending.Data.size();
    const size_t bytes = pending.Bytes;
    // Destroyed once the lock is released.
    std::vector<std::unique_ptr<StreamBuilder>> built;
    std::unique_lock guard(lock_);
    built.swap(built_);
    if (!worker_.joinable())
        worker_ = std::thread([this] { Run(); });
    // Memory holds a bounded amount of unwritten pages: a job that lays out
    // faster than the disk takes it waits here.
    producerWaiting_ = true;
    room_.wait(guard, [this] { return queuedBytes_ < kMaximumQueuedBytes || queue_.empty() || failed_; });
    producerWaiting_ = false;
    queuedBytes_ += bytes;
    queue_.push_back(std::move(pending));
    // Waking the thread costs a system call: only when it sleeps.
    if (workerWaiting_)
        wake_.notify_one();
    return !failed_;
}

std::string PdfFile::SpareBuffer()
{
    std::lock_guard guard(lock_);
    if (spare_.empty())
        return {};
    std::string buffer = std::move(spare_.back());
    spare_.pop_back();
    return buffer;
}

void PdfFile::Run()
{
    std::unique_lock guard(lock_);
    while (true) {
        workerWaiting_ = true;
        wake_.wait(guard, [this] { return stopping_ || !queue_.empty(); });
        workerWaiting_ = false;
        if (queue_.empty())
            return;
        Pending pending = std::move(queue_.front());
        queue_.pop_front();
        if (pending.Builder && !spare_.empty()) {
            pending.Data = std::move(spare_.back());
            spare_.pop_back();
        }
        guard.unlock();
        bool written = !failed_ && WritePending(pending);
        guard.lock();
        if (pending.Builder) {
            toBuild_.fetch_sub(1, std::memory_order_relaxed);
            built_.push_back(std::move(pending.Builder));
        }
        queuedBytes_ -= pending.Bytes;
        if (!written)
            failed_ = true;
        // A page's text is kept for the next page to be written into, which
        // spares allocating and faulting in its memory again.
        if (pending.Data.capacity() > 0 && spare_.size() < kSpareBuffers) {
            pending.Data.clear();
            spare_.push_back(std::move(pending.Data));
        }
        if (producerWaiting_)
            room_.notify_all();
    }
}

bool PdfFile::WritePending(Pending& pending)
{
    if (pending.Builder)
        pending.Data = pending.Builder->Build(std::move(pending.Data));
    offsets_.emplace_back(pending.Number, written_);
    std::string head;
    AppendInteger(head, pending.Number);
    head += " 0 obj\n";
    if (!pending.IsStream)
        return Write(head) && Write(pending.Dictionary) && Write("\nendobj\n");
    std::string_view payload = pending.Data;
    if (pending.Kind == StreamData::Compressed) {
        if (!compressor_)
            compressor_.reset(libdeflate_alloc_compressor(kCompressionLevel));
        size_t size = compressor_ ? libdeflate_zlib_compress_bound(compressor_.get(), pending.Data.size()) : 0;
        compressed_.resize(size);
        size = compressor_ ? libdeflate_zlib_compress(
                   compressor_.get(), pending.Data.data(), pending.Data.size(), compressed_.data(), size)
                           : 0;
        if (size == 0)
            return false;
        payload = std::string_view(compressed_.data(), size);
    }
    head += "<<";
    head += pending.Dictionary;
    head += "/Length ";
    AppendInteger(head, static_cast<int64_t>(payload.size()));
    if (pending.Kind == StreamData::Compressed)
        head += "/Filter/FlateDecode";
    head += ">>\nstream\n";
    return Write(head) && Write(payload) && Write("\nendstream\nendobj\n");
}

void PdfFile::StopWorker(bool discard)
{
    {
        std::lock_guard guard(lock_);
        if (discard) {
            queue_.clear();
            queuedBytes_ = 0;
        }
        stopping_ = true;
    }
    wake_.notify_all();
    if (worker_.joinable())
        worker_.join();
    built_.clear();
}

void PdfFile::Cancel()
{
    failed_ = true;
    StopWorker(true);
}

bool PdfFile::Finish(int root, int info)
{
    StopWorker(false);
    if (failed_)
        return false;
    std::vector<uint64_t> table(static_cast<size_t>(reserved_), 0);
    for (const auto& [number, offset] : offsets_) {
        if (number >= 1 && number <= reserved_)
            table[static_cast<size_t>(number - 1)] = offset;
    }
    uint64_t start = written_;
    std::string xref = "xref\n0 ";
    AppendInteger(xref, static_cast<int64_t>(table.size() + 1));
    xref += "\n0000000000 65535 f \n";
    for (uint64_t offset : table) {
        if (offset == 0)
            return false; // reserved and never written: the file would be damaged
        // Each entry is exactly twenty bytes: ten digits of offset, padded.
        std::string digits;
        AppendInteger(digits, static_cast<int64_t>(offset));
        xref.append(digits.size() < 10 ? 10 - digits.size() : 0, '0');
        xref += digits;
        xref += " 00000 n \n";
    }
    xref += "trailer\n<</Size ";
    AppendInteger(xref, static_cast<int64_t>(table.size() + 1));
    xref += "/Root ";
    AppendInteger(xref, root);
    xref += " 0 R/Info ";
    AppendInteger(xref, info);
    xref += " 0 R>>\nstartxref\n";
    AppendInteger(xref, static_cast<int64_t>(start));
    xref += "\n%%EOF\n";
    return Write(xref);
}

bool PdfFile::Write(std::string_view bytes)
{
    if (!file_.Write(bytes.data(), bytes.size()))
        return false;
    written_ += bytes.size();
    return true;
}

} // namespace plotwise
