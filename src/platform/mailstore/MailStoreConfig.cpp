#include "MailStoreConfig.h"

#include "TextConversion.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace platform {

namespace fs = std::filesystem;

namespace {

// A configuration file larger than this is not read; it cannot be a list of
// stores.
constexpr std::uintmax_t kMaxConfigBytes = 64 * 1024;

std::string_view Trim(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

fs::path HomeDirectory()
{
    const char* home = std::getenv("HOME");
    return home != nullptr ? fs::path(home) : fs::path();
}

} // namespace

std::vector<MailStoreConfigEntry> ParseMailStoreConfig(std::string_view text, const fs::path& home)
{
    std::vector<MailStoreConfigEntry> entries;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = Trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        const std::string_view name = Trim(line.substr(0, equals));
        std::string path(Trim(line.substr(equals + 1)));
        if (name.empty() || path.empty()) {
            continue;
        }
        fs::path resolved;
        if (path == "~") {
            resolved = home;
        } else if (path.rfind("~/", 0) == 0) {
            resolved = home / path.substr(2);
        } else {
            resolved = path;
        }
        entries.push_back({ Utf8ToUtf16(name), resolved.lexically_normal() });
    }
    return entries;
}

fs::path MailStoreConfigPath()
{
    if (const char* file = std::getenv("TALLOWIN_MAILSTORES"); file != nullptr && *file != '\0') {
        return fs::path(file);
    }
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const fs::path base = config != nullptr && *config != '\0' ? fs::path(config) : HomeDirectory() / ".config";
    return base / "tallowin" / "mailstores.conf";
}

std::vector<MailStoreConfigEntry> LoadMailStoreConfig()
{
    std::vector<MailStoreConfigEntry> entries;
    const fs::path file = MailStoreConfigPath();
    std::error_code error;
    const std::uintmax_t size = fs::file_size(file, error);
    if (!error && size <= kMaxConfigBytes) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        entries = ParseMailStoreConfig(text.str(), HomeDirectory());
    }
    if (entries.empty()) {
        const fs::path fallback = HomeDirectory() / "Maildir";
        if (!HomeDirectory().empty() && fs::is_directory(fallback, error)) {
            entries.push_back({ u"Maildir", fallback });
        }
    }
    return entries;
}

} // namespace platform
