#include "WindowSystem.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <system_error>

namespace platform {
namespace {

namespace fs = std::filesystem;

char16_t AsciiLower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

// A pattern with '*' (any run) and '?' (one character).
bool MatchPattern(std::u16string_view name, std::u16string_view pattern)
{
    std::size_t n = 0, p = 0, starAt = std::u16string_view::npos, resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || AsciiLower(pattern[p]) == AsciiLower(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starAt = p++;
            resumeAt = n;
        } else if (starAt != std::u16string_view::npos) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// XDG_DOCUMENTS_DIR="$HOME/Documents" from user-dirs.dirs, with $HOME
// expanded as xdg-user-dir does.
std::string UserDirsDocuments(const std::string& home)
{
    std::string config = Environment("XDG_CONFIG_HOME");
    if (config.empty())
        config = home + "/.config";
    std::ifstream in(config + "/user-dirs.dirs");
    std::string line;
    const std::string key = "XDG_DOCUMENTS_DIR=";
    while (std::getline(in, line)) {
        if (!line.starts_with(key))
            continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.starts_with("$HOME"))
            value = home + value.substr(5);
        return value;
    }
    return "";
}

} // namespace

bool MatchesPatterns(std::u16string_view name, std::u16string_view patterns)
{
    std::size_t at = 0;
    while (at < patterns.size()) {
        std::size_t end = patterns.find(u' ', at);
        if (end == std::u16string_view::npos)
            end = patterns.size();
        if (end > at && MatchPattern(name, patterns.substr(at, end - at)))
            return true;
        at = end + 1;
    }
    return false;
}

std::vector<DocumentEntry> ListDocuments(const fs::path& folder, std::u16string_view patterns)
{
    std::vector<DocumentEntry> entries;
    std::error_code error;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, error);
    for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        std::error_code fileError;
        if (!it->is_regular_file(fileError))
            continue;
        std::u16string name = it->path().filename().u16string();
        if (!MatchesPatterns(name, patterns))
            continue;
        DocumentEntry entry;
        entry.Path = it->path();
        entry.Name = std::move(name);
        entry.Modified = it->last_write_time(fileError);
        entry.Size = it->file_size(fileError);
        entries.push_back(std::move(entry));
    }
    std::sort(entries.begin(), entries.end(), [](const DocumentEntry& a, const DocumentEntry& b) { return a.Path < b.Path; });
    return entries;
}

fs::path DocumentsFolder()
{
    if (std::string chosen = Environment("TALLOWIN_DOCUMENTS"); !chosen.empty())
        return chosen;
    if (std::string xdg = Environment("XDG_DOCUMENTS_DIR"); !xdg.empty())
        return xdg;
    const std::string home = Environment("HOME");
    if (std::string configured = UserDirsDocuments(home); !configured.empty())
        return configured;
    return fs::path(home) / "Documents";
}

} // namespace platform
