#include "MboxReader.h"

#include "MailMessageContent.h"
#include "MailStore.h"

#include <fcntl.h>
#include <gmime/gmime.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <ctime>

namespace platform {

namespace {

// Owns one reference of a GLib object.
template <typename T> class Ref {
public:
    explicit Ref(T* object)
        : object_(object)
    {
    }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    ~Ref()
    {
        if (object_ != nullptr)
            g_object_unref(object_);
    }
    T* get() const { return object_; }

private:
    T* object_;
};

std::uint64_t Fnv1a(std::string_view text)
{
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const char c : text) {
        hash ^= static_cast<std::uint8_t>(c);
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

// Bits 0x0001 (read) and 0x0008 (deleted) of X-Mozilla-Status.
unsigned MozillaFlags(GMimeObject* object)
{
    const char* mozilla = g_mime_object_get_header(object, "X-Mozilla-Status");
    if (mozilla == nullptr)
        return 0;
    std::string_view text(mozilla);
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    unsigned flags = 0;
    std::from_chars(text.data(), text.data() + text.size(), flags, 16);
    return flags;
}

bool SeenFromHeaders(GMimeObject* object)
{
    if (const char* status = g_mime_object_get_header(object, "Status"); status != nullptr)
        return std::strchr(status, 'R') != nullptr;
    return (MozillaFlags(object) & 0x0001U) != 0;
}

// The delivery time of a "From " line ("From sender Mon Nov  2 10:00:00
// 2026"), in the local time zone as the delivering program wrote it; the
// stand-in for a missing Date header.
std::optional<FILETIME> MarkerDate(std::string_view marker)
{
    if (!marker.starts_with("From "))
        return std::nullopt;
    std::string text(marker.substr(5));
    const std::size_t sender = text.find(' ');
    if (sender == std::string::npos)
        return std::nullopt;
    std::tm fields {};
    const char* end = ::strptime(text.c_str() + sender, " %a %b %e %H:%M:%S %Y", &fields);
    if (end == nullptr)
        return std::nullopt;
    fields.tm_isdst = -1;
    const std::time_t seconds = std::mktime(&fields);
    if (seconds == static_cast<std::time_t>(-1))
        return std::nullopt;
    return FileTimeFromUnix(seconds, 0);
}

// The message the parser has just read, as a span of the file.
MboxMessageSpan SpanOf(GMimeParser* parser, GMimeMessage* message)
{
    MboxMessageSpan span;
    span.markerOffset = g_mime_parser_get_mbox_marker_offset(parser);
    span.headersBegin = g_mime_parser_get_headers_begin(parser);
    span.headersEnd = g_mime_parser_get_headers_end(parser);
    span.end = g_mime_parser_tell(parser);
    char* marker = g_mime_parser_get_mbox_marker(parser);
    const std::string_view markerText = marker != nullptr ? marker : "";
    if (const char* id = g_mime_message_get_message_id(message); id != nullptr && *id != '\0')
        span.keyHash = Fnv1a(id);
    else
        span.keyHash = Fnv1a(markerText);
    span.seen = SeenFromHeaders(GMIME_OBJECT(message));
    span.deleted = (MozillaFlags(GMIME_OBJECT(message)) & 0x0008U) != 0;
    if (GDateTime* date = g_mime_message_get_date(message))
        span.date = FileTimeFromUnix(g_date_time_to_unix(date), g_date_time_get_microsecond(date));
    else
        span.date = MarkerDate(markerText);
    g_free(marker);
    return span;
}

// The parser's offsets in order, whatever a malformed message made of them:
// the header block lies inside the message, the message after its marker.
void KeepInOrder(MboxMessageSpan& span)
{
    span.headersBegin = std::max(span.headersBegin, span.markerOffset);
    span.end = std::max(span.end, span.headersBegin);
    span.headersEnd = std::clamp(span.headersEnd, span.headersBegin, span.end);
}

GMimeParser* NewMboxParser(GMimeStream* stream)
{
    GMimeParser* parser = g_mime_parser_new_with_stream(stream);
    g_mime_parser_set_format(parser, GMIME_FORMAT_MBOX);
    return parser;
}

// Reads messages until the stream ends or `visit` answers false.
template <typename Visit> void ReadMessages(GMimeStream* stream, Visit visit)
{
    Ref<GMimeParser> parser(NewMboxParser(stream));
    while (!g_mime_parser_eos(parser.get())) {
        Ref<GMimeMessage> message(g_mime_parser_construct_message(parser.get(), nullptr));
        if (message.get() == nullptr)
            break;
        if (!visit(SpanOf(parser.get(), message.get())))
            break;
    }
}

// A read-only stream over the file; null when it cannot be opened.
GMimeStream* OpenFileStream(const std::filesystem::path& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    // The stream owns the descriptor and closes it when released.
    return g_mime_stream_fs_new(fd);
}

std::vector<MboxMessageSpan> ScanStream(GMimeStream* stream)
{
    std::vector<MboxMessageSpan> spans;
    ReadMessages(stream, [&](MboxMessageSpan span) {
        if (!spans.empty()) {
            spans.back().end = span.markerOffset;
            KeepInOrder(spans.back());
        }
        spans.push_back(span);
        return true;
    });
    if (!spans.empty())
        KeepInOrder(spans.back());
    return spans;
}

} // namespace

std::vector<MboxMessageSpan> ScanMboxFile(const std::filesystem::path& path)
{
    if (!EnsureGMimeInitialized())
        return {};
    Ref<GMimeStream> stream(OpenFileStream(path));
    if (stream.get() == nullptr)
        return {};
    return ScanStream(stream.get());
}

std::vector<MboxMessageSpan> ScanMboxBytes(std::span<const std::uint8_t> bytes)
{
    if (!EnsureGMimeInitialized() || bytes.empty())
        return {};
    Ref<GMimeStream> stream(
        g_mime_stream_mem_new_with_buffer(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    return ScanStream(stream.get());
}

bool LooksLikeMboxFile(const std::filesystem::path& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char start[5] = {};
    const ssize_t got = ::read(fd, start, sizeof start);
    ::close(fd);
    return got == 0 || (got == 5 && std::memcmp(start, "From ", 5) == 0);
}

std::string MboxMessageName(const MboxMessageSpan& span)
{
    char hash[17];
    const auto [end, error] = std::to_chars(hash, hash + sizeof hash, span.keyHash, 16);
    return std::to_string(span.markerOffset) + "-" + std::string(hash, end);
}

std::optional<MboxMessageRef> ParseMboxMessageName(std::string_view name)
{
    const std::size_t dash = name.find('-');
    if (dash == std::string_view::npos || dash == 0 || dash + 1 == name.size())
        return std::nullopt;
    MboxMessageRef ref;
    const char* first = name.data();
    const auto offset = std::from_chars(first, first + dash, ref.markerOffset);
    const auto hash = std::from_chars(first + dash + 1, first + name.size(), ref.keyHash, 16);
    if (offset.ec != std::errc() || offset.ptr != first + dash || hash.ec != std::errc()
        || hash.ptr != first + name.size() || ref.markerOffset < 0)
        return std::nullopt;
    return ref;
}

std::optional<MboxMessageSpan> FindMboxMessage(const std::filesystem::path& path, const MboxMessageRef& ref)
{
    if (!EnsureGMimeInitialized())
        return std::nullopt;
    std::optional<MboxMessageSpan> found;
    {
        Ref<GMimeStream> stream(OpenFileStream(path));
        if (stream.get() == nullptr)
            return std::nullopt;
        if (g_mime_stream_seek(stream.get(), ref.markerOffset, GMIME_STREAM_SEEK_SET) == ref.markerOffset) {
            ReadMessages(stream.get(), [&](MboxMessageSpan span) {
                KeepInOrder(span);
                if (span.markerOffset == ref.markerOffset && span.keyHash == ref.keyHash)
                    found = span;
                return false;
            });
        }
    }
    if (found)
        return found;
    // The file was rewritten (mail deleted or flags written back): the
    // message is looked for by what names it.
    Ref<GMimeStream> stream(OpenFileStream(path));
    if (stream.get() == nullptr)
        return std::nullopt;
    for (const MboxMessageSpan& span : ScanStream(stream.get())) {
        if (span.keyHash == ref.keyHash)
            return span;
    }
    return std::nullopt;
}

std::shared_ptr<const std::vector<std::uint8_t>> ReadFileRange(
    const std::filesystem::path& path, std::int64_t begin, std::int64_t end)
{
    if (begin < 0 || end < begin || static_cast<std::uintmax_t>(end - begin) > kMaxMessageFileBytes)
        return nullptr;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(static_cast<std::size_t>(end - begin));
    std::size_t have = 0;
    while (have < bytes->size()) {
        const ssize_t got = ::pread(fd, bytes->data() + have, bytes->size() - have, begin + static_cast<off_t>(have));
        if (got <= 0)
            break;
        have += static_cast<std::size_t>(got);
    }
    ::close(fd);
    bytes->resize(have);
    return bytes;
}

} // namespace platform
