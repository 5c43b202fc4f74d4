#include "MaildirLayout.h"

#include "EntryId.h"
#include "TextConversion.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <set>

namespace platform {

namespace fs = std::filesystem;

namespace {

bool IsDirectory(const fs::path& path)
{
    std::error_code error;
    return fs::is_directory(path, error);
}

int Base64Value(char c)
{
    if (c >= 'A' && c <= 'Z') {
        return c - 'A';
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 26;
    }
    if (c >= '0' && c <= '9') {
        return c - '0' + 52;
    }
    if (c == '+') {
        return 62;
    }
    if (c == ',') {
        return 63;
    }
    return -1;
}

// IMAP folder names are ASCII with "&...-" runs of UTF-16 in a base64
// variant; "&-" is an ampersand.
std::u16string DecodeModifiedUtf7(std::string_view name)
{
    std::u16string out;
    std::size_t i = 0;
    while (i < name.size()) {
        if (name[i] != '&') {
            const std::size_t next = name.find('&', i);
            AppendUtf8AsUtf16(out, name.substr(i, next == std::string_view::npos ? name.npos : next - i));
            i = next == std::string_view::npos ? name.size() : next;
            continue;
        }
        const std::size_t end = name.find('-', i + 1);
        if (end == std::string_view::npos) {
            AppendUtf8AsUtf16(out, name.substr(i));
            break;
        }
        if (end == i + 1) {
            out.push_back(u'&');
        } else {
            std::uint32_t bits = 0;
            int bitCount = 0;
            for (std::size_t k = i + 1; k < end; ++k) {
                const int value = Base64Value(name[k]);
                if (value < 0) {
                    break;
                }
                bits = (bits << 6) | static_cast<std::uint32_t>(value);
                bitCount += 6;
                if (bitCount >= 16) {
                    bitCount -= 16;
                    out.push_back(static_cast<char16_t>((bits >> bitCount) & 0xFFFF));
                }
            }
        }
        i = end + 1;
    }
    return out;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

bool IsValidFolderName(std::string_view folder)
{
    if (folder.empty()) {
        return true;
    }
    if (folder.front() != '.' || folder.back() == '.' || folder.size() < 2) {
        return false;
    }
    if (folder.find('/') != std::string_view::npos || folder.find('\0') != std::string_view::npos
        || folder.find("..") != std::string_view::npos) {
        return false;
    }
    return true;
}

bool IsValidUniqueName(std::string_view unique)
{
    return !unique.empty() && unique != "." && unique != ".." && unique.find('/') == std::string_view::npos
        && unique.find('\0') == std::string_view::npos;
}

fs::path FolderDirectory(const fs::path& store, std::string_view folder)
{
    return folder.empty() ? store : store / std::string(folder);
}

std::vector<std::string> ListMaildirFolders(const fs::path& store)
{
    std::set<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(store, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name == "." || name == ".." || !IsValidFolderName(name) || name.empty()) {
            continue;
        }
        if (!IsDirectory(it->path() / "cur")) {
            continue;
        }
        names.insert(name);
        for (std::string parent = ParentFolderName(name); parent != kTopFolderName && !parent.empty();
             parent = ParentFolderName(parent)) {
            names.insert(parent);
        }
    }
    std::vector<std::string> folders { "" };
    folders.insert(folders.end(), names.begin(), names.end());
    return folders;
}

std::string ParentFolderName(std::string_view folder)
{
    const std::size_t dot = folder.rfind('.');
    if (folder.empty() || dot == 0 || dot == std::string_view::npos) {
        return std::string(kTopFolderName);
    }
    return std::string(folder.substr(0, dot));
}

std::u16string FolderDisplayName(std::string_view folder)
{
    if (folder.empty()) {
        return u"Inbox";
    }
    return DecodeModifiedUtf7(folder.substr(folder.rfind('.') + 1));
}

ULONG FolderKindBits(std::string_view folder)
{
    if (folder.empty()) {
        return FOLDER_GENERIC | kFolderKindInbox;
    }
    const std::string_view name = folder.substr(1);
    constexpr std::array<std::pair<std::string_view, ULONG>, 9> kKnownNames { {
        { "Sent", kFolderKindSent },
        { "Sent Items", kFolderKindSent },
        { "Sent Messages", kFolderKindSent },
        { "Outbox", kFolderKindOutbox },
        { "Drafts", kFolderKindDrafts },
        { "Trash", kFolderKindTrash },
        { "Deleted Items", kFolderKindTrash },
        { "Deleted Messages", kFolderKindTrash },
        { "Bin", kFolderKindTrash },
    } };
    for (const auto& [known, bits] : kKnownNames) {
        if (EqualsIgnoringCase(name, known)) {
            return FOLDER_GENERIC | bits;
        }
    }
    return FOLDER_GENERIC;
}

std::string UniqueNameOf(std::string_view fileName)
{
    const std::size_t info = fileName.rfind(":2,");
    if (info != std::string_view::npos) {
        return std::string(fileName.substr(0, info));
    }
    const std::size_t colon = fileName.rfind(':');
    return std::string(colon == std::string_view::npos ? fileName : fileName.substr(0, colon));
}

bool HasSeenFlag(std::string_view fileName)
{
    const std::size_t info = fileName.rfind(":2,");
    if (info == std::string_view::npos) {
        return false;
    }
    return fileName.substr(info + 3).find('S') != std::string_view::npos;
}

std::optional<FILETIME> DeliveryStampOf(std::string_view fileName)
{
    constexpr std::size_t kMaxSecondsDigits = 12;
    std::size_t i = 0;
    std::int64_t seconds = 0;
    while (i < fileName.size() && i < kMaxSecondsDigits && std::isdigit(static_cast<unsigned char>(fileName[i]))) {
        seconds = seconds * 10 + (fileName[i] - '0');
        ++i;
    }
    if (i == 0 || i >= fileName.size() || fileName[i] != '.') {
        return std::nullopt;
    }
    std::int64_t microseconds = 0;
    const std::string_view second = fileName.substr(i + 1, fileName.find('.', i + 1) - (i + 1));
    const std::size_t m = second.find('M');
    if (m != std::string_view::npos) {
        std::size_t k = m + 1;
        std::size_t digits = 0;
        std::int64_t value = 0;
        while (k < second.size() && digits < 6 && std::isdigit(static_cast<unsigned char>(second[k]))) {
            value = value * 10 + (second[k] - '0');
            ++k;
            ++digits;
        }
        if (digits > 0) {
            microseconds = value;
        }
    }
    return FileTimeFromUnix(seconds, microseconds);
}

std::vector<MaildirMessageFile> ListMessageFiles(const fs::path& folderDirectory)
{
    std::vector<MaildirMessageFile> files;
    for (const char* sub : { "new", "cur" }) {
        std::error_code error;
        for (fs::directory_iterator it(folderDirectory / sub, error), end; !error && it != end; it.increment(error)) {
            const std::string name = it->path().filename().string();
            if (name.empty() || name.front() == '.') {
                continue;
            }
            std::error_code typeError;
            if (!it->is_regular_file(typeError)) {
                continue;
            }
            MaildirMessageFile file;
            file.unique = UniqueNameOf(name);
            file.path = it->path();
            file.seen = HasSeenFlag(name);
            if (IsValidUniqueName(file.unique)) {
                files.push_back(std::move(file));
            }
        }
    }
    return files;
}

std::optional<MaildirMessageFile> FindMessageFile(const fs::path& folderDirectory, std::string_view unique)
{
    if (!IsValidUniqueName(unique)) {
        return std::nullopt;
    }
    for (const char* sub : { "cur", "new" }) {
        const fs::path directory = folderDirectory / sub;
        // The common case, a file delivered and not yet renamed, needs no scan.
        std::error_code error;
        const fs::path plain = directory / std::string(unique);
        if (fs::is_regular_file(plain, error)) {
            return MaildirMessageFile { std::string(unique), plain, false };
        }
        for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
            const std::string name = it->path().filename().string();
            if (name.size() > unique.size() && name.compare(0, unique.size(), unique) == 0 && name[unique.size()] == ':'
                && UniqueNameOf(name) == unique) {
                return MaildirMessageFile { std::string(unique), it->path(), HasSeenFlag(name) };
            }
        }
    }
    return std::nullopt;
}

std::optional<FILETIME> FileModificationTime(const fs::path& path)
{
    struct stat info { };
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return FileTimeFromUnix(info.st_mtim.tv_sec, info.st_mtim.tv_nsec / 1000);
}

} // namespace platform
