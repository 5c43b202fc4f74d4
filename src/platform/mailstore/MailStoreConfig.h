#pragma once

// Which mail stores the program reads: Maildir directories, mbox files and
// directories of mbox files (MaildirStore.h tells them apart).
//
// The configuration file is $XDG_CONFIG_HOME/tallowin/mailstores.conf
// (~/.config/tallowin/mailstores.conf when XDG_CONFIG_HOME is not set), or
// the file named by the environment variable TALLOWIN_MAILSTORES. Each line
// is `name = path`; the name is shown as the store's name, the path is a
// store (a leading "~/" means the home directory). Blank lines and lines
// starting with '#' are ignored; so are lines without '='. The first store is
// the default one. Without a file, or with a file naming no store, the stores
// found in the usual places are read (FindUsualMailStores).

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

// The stores that exist of ~/Maildir, ~/mail, the local folders of
// Thunderbird's default profile (from ~/.thunderbird/profiles.ini) and the
// system mailbox ($MAIL, else /var/mail/$USER), in that order, each place
// once.
std::vector<MailStoreConfigEntry> FindUsualMailStores(
    const std::filesystem::path& home, const char* mail, std::string_view user);
// The "Mail/Local Folders" directory of Thunderbird's default profile; empty
// when there is none.
std::filesystem::path ThunderbirdLocalFolders(const std::filesystem::path& home);

} // namespace platform
