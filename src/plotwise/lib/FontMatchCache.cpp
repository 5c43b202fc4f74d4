#include "FontMatchCache.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plotwise {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kHeader = "tallowin font matches 1\n";
constexpr const char* kFileName = "font-matches";
// A file larger than this is not one we wrote.
constexpr std::uintmax_t kMaximumFileSize = 4u << 20;

// A path's modification time, to the nanosecond, or "absent".
std::string Stamp(const std::string& path)
{
    struct stat status { };
    if (::stat(path.c_str(), &status) != 0)
        return "absent";
    return std::to_string(status.st_mtim.tv_sec) + "." + std::to_string(status.st_mtim.tv_nsec);
}

uint64_t Checksum(std::string_view bytes)
{
    uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char byte : bytes) {
        hash ^= byte;
        hash *= 0x100000001b3ull;
    }
    return hash;
}

std::string Hex(uint64_t value)
{
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

// Fields are separated by tabs and records by newlines; a backslash, a tab,
// a newline or another control byte inside a field is written as \xHH.
std::string Escape(std::string_view text)
{
    std::string out;
    for (unsigned char c : text) {
        if (c < 0x20 || c == '\\' || c == 0x7F) {
            char code[5];
            std::snprintf(code, sizeof code, "\\x%02x", c);
            out += code;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::optional<std::string> Unescape(std::string_view text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        unsigned value = 0;
        if (i + 3 >= text.size() || text[i + 1] != 'x')
            return std::nullopt;
        auto [end, error] = std::from_chars(text.data() + i + 2, text.data() + i + 4, value, 16);
        if (error != std::errc() || end != text.data() + i + 4)
            return std::nullopt;
        out += static_cast<char>(value);
        i += 3;
    }
    return out;
}

std::vector<std::string_view> Fields(std::string_view line)
{
    std::vector<std::string_view> fields;
    size_t start = 0;
    for (size_t tab = line.find('\t'); tab != std::string_view::npos; tab = line.find('\t', start)) {
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
    fields.push_back(line.substr(start));
    return fields;
}

bool ParseInt(std::string_view text, int& value)
{
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

std::optional<std::pair<std::string, FaceMatch>> ParseMatch(const std::vector<std::string_view>& fields)
{
    if (fields.size() != 11)
        return std::nullopt;
    auto request = Unescape(fields[1]);
    auto file = Unescape(fields[2]);
    auto family = Unescape(fields[4]);
    auto format = Unescape(fields[10]);
    FaceMatch match;
    int embolden = 0, charSet = 0, fixedPitch = 0;
    if (!request || !file || file->empty() || !family || !format || !ParseInt(fields[3], match.Index)
        || !ParseInt(fields[5], match.Weight) || !ParseInt(fields[6], match.Slant) || !ParseInt(fields[7], embolden)
        || !ParseInt(fields[8], charSet) || !ParseInt(fields[9], fixedPitch) || charSet < 0 || charSet > 255
        || (embolden != 0 && embolden != 1) || (fixedPitch != 0 && fixedPitch != 1))
        return std::nullopt;
    match.File = std::move(*file);
    match.Family = std::move(*family);
    match.Format = std::move(*format);
    match.Embolden = embolden == 1;
    match.CharSet = static_cast<uint8_t>(charSet);
    match.FixedPitch = fixedPitch == 1;
    return std::pair { std::move(*request), std::move(match) };
}

} // namespace

std::string SealFontMatches(std::string text)
{
    const std::string checksum = Hex(Checksum(text));
    return text + "end\t" + checksum + "\n";
}

FontMatchCache::FontMatchCache(std::filesystem::path file, std::string context)
    : file_(std::move(file))
    , context_(std::move(context))
{
}

std::filesystem::path FontMatchCache::UserFile()
{
    if (const char* setting = std::getenv("PLOTWISE_FONT_CACHE"); setting && std::string_view(setting) == "0")
        return {};
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache == '/')
        return fs::path(cache) / "tallowin" / kFileName;
    if (const char* home = std::getenv("HOME"); home && *home == '/')
        return fs::path(home) / ".cache" / "tallowin" / kFileName;
    return {};
}

void FontMatchCache::Load()
{
    loaded_ = true;
    if (file_.empty())
        return;
    std::error_code error;
    const std::uintmax_t size = fs::file_size(file_, error);
    if (error || size > kMaximumFileSize)
        return;
    std::ifstream in(file_, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Parse(bytes);
}

bool FontMatchCache::Parse(std::string_view text)
{
    // The last record holds the checksum of everything before it.
    if (!text.starts_with(kHeader) || !text.ends_with('\n'))
        return false;
    const size_t last = text.rfind('\n', text.size() - 2);
    if (last == std::string_view::npos || last + 1 < kHeader.size())
        return false;
    const std::vector<std::string_view> end = Fields(text.substr(last + 1, text.size() - last - 2));
    if (end.size() != 2 || end[0] != "end" || end[1] != Hex(Checksum(text.substr(0, last + 1))))
        return false;

    std::vector<std::string> watched;
    std::map<std::string, FaceMatch> matches;
    bool sameContext = false;
    size_t start = kHeader.size();
    while (start <= last) {
        const size_t newline = text.find('\n', start);
        const std::vector<std::string_view> fields = Fields(text.substr(start, newline - start));
        start = newline + 1;
        if (fields[0] == "context" && fields.size() == 2) {
            const auto context = Unescape(fields[1]);
            if (!context || *context != context_)
                return false;
            sameContext = true;
        } else if (fields[0] == "path" && fields.size() == 3) {
            const auto path = Unescape(fields[2]);
            if (!path || Stamp(*path) != fields[1])
                return false;
            watched.push_back(*path);
        } else if (fields[0] == "match") {
            auto entry = ParseMatch(fields);
            if (!entry)
                return false;
            matches.insert(std::move(*entry));
        } else {
            return false;
        }
    }
    if (!sameContext || watched.empty())
        return false;
    watched_ = std::move(watched);
    matches_ = std::move(matches);
    return true;
}

std::optional<FaceMatch> FontMatchCache::Find(const std::string& request)
{
    if (!loaded_)
        Load();
    auto found = matches_.find(request);
    if (found == matches_.end())
        return std::nullopt;
    return found->second;
}

bool FontMatchCache::Store(const std::string& request, const FaceMatch& match, const std::vector<std::string>& watched)
{
    if (!loaded_)
        Load();
    if (watched != watched_) {
        // Answers given under another configuration are not kept beside
        // these.
        matches_.clear();
        watched_ = watched;
    }
    matches_[request] = match;
    return Write();
}

bool FontMatchCache::Write() const
{
    if (file_.empty() || watched_.empty())
        return false;
    std::string text(kHeader);
    text += "context\t" + Escape(context_) + "\n";
    for (const std::string& path : watched_)
        text += "path\t" + Stamp(path) + "\t" + Escape(path) + "\n";
    for (const auto& [request, match] : matches_) {
        text += "match\t" + Escape(request) + "\t" + Escape(match.File) + "\t" + std::to_string(match.Index) + "\t"
            + Escape(match.Family) + "\t" + std::to_string(match.Weight) + "\t" + std::to_string(match.Slant) + "\t"
            + (match.Embolden ? "1" : "0") + "\t" + std::to_string(match.CharSet) + "\t"
            + (match.FixedPitch ? "1" : "0") + "\t" + Escape(match.Format) + "\n";
    }
    text = SealFontMatches(std::move(text));

    std::error_code error;
    fs::create_directories(file_.parent_path(), error);
    std::string temporary = (file_.parent_path() / (std::string(kFileName) + ".XXXXXX")).string();
    const int descriptor = ::mkstemp(temporary.data());
    if (descriptor < 0)
        return false;
    size_t written = 0;
    while (written < text.size()) {
        const ssize_t count = ::write(descriptor, text.data() + written, text.size() - written);
        if (count <= 0)
            break;
        written += static_cast<size_t>(count);
    }
    const bool complete = ::close(descriptor) == 0 && written == text.size();
    if (!complete || ::rename(temporary.c_str(), file_.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace plotwise
