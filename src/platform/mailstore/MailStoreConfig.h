#pragma once

// Which Maildir stores the program reads.
//
// The configuration file is $XDG_CONFIG_HOME/tallowin/mailstores.conf
// (~/.config/tallowin/mailstores.conf when XDG_CONFIG_HOME is not set), or
// the file named by the environment variable TALLOWIN_MAILSTORES. Each line
// is `name = path`; the name is shown as the store's name, the path is a
// Maildir directory (a leading "~/" means the home directory). Blank lines
// and lines starting with '#' are ignored; so are lines without '='. The
// first store is the default one. Without a file, or with a file naming no
// store, ~/Maildir is the one store when it exists.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct MailStoreConfigEntry {
    std::u16string name;
    std::filesystem::path path;
};

std::vector<MailStoreConfigEntry> ParseMailStoreConfig(std::string_view text, const std::filesystem::path& home);
std::filesystem::path MailStoreConfigPath();
std::vector<MailStoreConfigEntry> LoadMailStoreConfig();

} // namespace platform
