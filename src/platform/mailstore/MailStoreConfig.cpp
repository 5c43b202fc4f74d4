#include "MailStoreConfig.h"

#include "TextConversion.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <optional>
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
        const char* user = std::getenv("USER");
        entries = FindUsualMailStores(HomeDirectory(), std::getenv("MAIL"), user != nullptr ? user : "");
    }
    return entries;
}

fs::path ThunderbirdLocalFolders(const fs::path& home)
{
    const fs::path base = home / ".thunderbird";
    const fs::path ini = base / "profiles.ini";
    std::error_code error;
    const std::uintmax_t size = fs::file_size(ini, error);
    if (error || size > kMaxConfigBytes) {
        return {};
    }
    std::ifstream in(ini, std::ios::binary);
    // The profile an installation names as its default wins over the one
    // marked Default=1, and that over the first.
    std::string section;
    std::string installDefault;
    struct Profile {
        std::string path;
        bool relative = true;
        bool isDefault = false;
    };
    std::vector<Profile> profiles;
    std::string line;
    while (std::getline(in, line)) {
        const std::string_view text = Trim(line);
        if (text.empty() || text.front() == ';' || text.front() == '#') {
            continue;
        }
        if (text.front() == '[') {
            section = std::string(text.substr(1, text.find(']') - 1));
            if (section.starts_with("Profile")) {
                profiles.emplace_back();
            }
            continue;
        }
        const std::size_t equals = text.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        const std::string_view key = Trim(text.substr(0, equals));
        const std::string_view value = Trim(text.substr(equals + 1));
        if (section.starts_with("Install") && key == "Default" && installDefault.empty()) {
            installDefault = value;
        } else if (section.starts_with("Profile") && !profiles.empty()) {
            if (key == "Path") {
                profiles.back().path = value;
            } else if (key == "IsRelative") {
                profiles.back().relative = value != "0";
            } else if (key == "Default") {
                profiles.back().isDefault = value == "1";
            }
        }
    }
    std::optional<Profile> chosen;
    if (!installDefault.empty()) {
        chosen = Profile { installDefault, true, true };
    }
    for (const Profile& profile : profiles) {
        if (chosen && profile.path == chosen->path) {
            chosen = profile;
            break;
        }
        if (installDefault.empty() && (!chosen || (profile.isDefault && !chosen->isDefault))) {
            chosen = profile;
        }
    }
    if (!chosen || chosen->path.empty()) {
        return {};
    }
    const fs::path profile
        = chosen->relative && fs::path(chosen->path).is_relative() ? base / chosen->path : fs::path(chosen->path);
    const fs::path local = profile / "Mail" / "Local Folders";
    return fs::is_directory(local, error) ? local.lexically_normal() : fs::path();
}

std::vector<MailStoreConfigEntry> FindUsualMailStores(const fs::path& home, const char* mail, std::string_view user)
{
    std::vector<MailStoreConfigEntry> candidates;
    std::error_code error;
    if (!home.empty()) {
        candidates.push_back({ u"Maildir", home / "Maildir" });
        candidates.push_back({ u"mail", home / "mail" });
        if (fs::path local = ThunderbirdLocalFolders(home); !local.empty()) {
            candidates.push_back({ u"Local Folders", std::move(local) });
        }
    }
    if (mail != nullptr && *mail != '\0') {
        candidates.push_back({ u"System mailbox", fs::path(mail) });
    } else if (!user.empty() && user.find('/') == std::string_view::npos) {
        candidates.push_back({ u"System mailbox", fs::path("/var/mail") / std::string(user) });
    }
    std::vector<MailStoreConfigEntry> found;
    std::vector<fs::path> seen;
    for (MailStoreConfigEntry& candidate : candidates) {
        if (!fs::exists(candidate.path, error)) {
            continue;
        }
        // The same place reached twice (MAIL naming ~/Maildir, a link) is
        // offered once.
        fs::path canonical = fs::weakly_canonical(candidate.path, error);
        if (error) {
            canonical = candidate.path.lexically_normal();
        }
        if (std::find(seen.begin(), seen.end(), canonical) != seen.end()) {
            continue;
        }
        seen.push_back(canonical);
        found.push_back(std::move(candidate));
    }
    return found;
}

} // namespace platform
