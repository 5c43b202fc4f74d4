#include "MboxStore.h"

#include "EntryId.h"
#include "MailFileMessage.h"
#include "MailMessageContent.h"
#include "MailStore.h"
#include "MaildirLayout.h"
#include "MboxReader.h"
#include "PropertyTable.h"
#include "StoreFolder.h"
#include "TextConversion.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>

namespace platform {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kSubfolderSuffix = ".sbd";
constexpr std::string_view kInboxName = "Inbox";

bool SameIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

std::string ParentOf(std::string_view folder)
{
    const std::size_t slash = folder.rfind('/');
    return slash == std::string_view::npos || folder == kTopFolderName ? std::string(kTopFolderName)
                                                                       : std::string(folder.substr(0, slash));
}

std::string_view LeafOf(std::string_view folder)
{
    const std::size_t slash = folder.rfind('/');
    return slash == std::string_view::npos ? folder : folder.substr(slash + 1);
}

std::u16string DisplayNameOf(std::string_view folder)
{
    return folder.empty() ? std::u16string(u"Inbox") : Utf8ToUtf16(LeafOf(folder));
}

ULONG KindBitsOf(std::string_view folder)
{
    const std::string_view leaf = LeafOf(folder);
    if (folder.empty() || SameIgnoringCase(leaf, kInboxName))
        return FolderKindBits("");
    return FolderKindBits("." + std::string(leaf));
}

bool IsChildOf(std::string_view name, std::string_view folder)
{
    return name != folder && ParentOf(name) == folder;
}

void AddTreeLevel(const fs::path& directory, const std::string& prefix, int depth, std::vector<std::string>& out)
{
    constexpr int kMaxDepth = 16;
    std::error_code error;
    if (depth > kMaxDepth)
        return;
    for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || name.front() == '.')
            continue;
        std::error_code kindError;
        if (it->is_directory(kindError) && name.size() > kSubfolderSuffix.size() && name.ends_with(kSubfolderSuffix)) {
            const std::string folder = prefix + name.substr(0, name.size() - kSubfolderSuffix.size());
            if (IsValidMboxFolderName(folder)) {
                out.push_back(folder);
                AddTreeLevel(it->path(), folder + "/", depth + 1, out);
            }
        } else if (it->is_regular_file(kindError) && !name.ends_with(".msf") && LooksLikeMboxFile(it->path())) {
            if (IsValidMboxFolderName(prefix + name))
                out.push_back(prefix + name);
        }
    }
}

// The rows of a folder's contents table: the offsets and flags the scan
// gives, and of the header block only what the columns and the sort need.
HRESULT LoadContentsRows(const MaildirStoreInfo& store, const std::string& folder, std::span<const ULONG> needed,
    std::vector<PropertySet>* rows)
{
    const auto wants = [&](ULONG tag) { return std::find(needed.begin(), needed.end(), tag) != needed.end(); };
    const bool needSender = wants(PR_SENDER_NAME_W) || wants(PR_SENDER_EMAIL_ADDRESS_W);
    const bool needSubject = wants(PR_SUBJECT_W);
    rows->clear();
    if (folder == kTopFolderName)
        return S_OK;
    const fs::path file = MboxFolderFile(store, folder);
    const std::vector<MboxMessageSpan> spans = ScanMboxFile(file);
    const std::optional<FILETIME> modified = FileModificationTime(file);
    const std::vector<std::uint8_t> parentId = FolderId(store, folder);
    const int fd = needSender || needSubject ? ::open(file.c_str(), O_RDONLY | O_CLOEXEC) : -1;
    rows->reserve(spans.size());
    std::string header;
    for (const MboxMessageSpan& span : spans) {
        if (span.deleted)
            continue;
        PropertySet row;
        row.Set(PR_ENTRYID, MakeEntryId({ EntryKind::Message, store.path, folder, MboxMessageName(span) }));
        row.Set(PR_PARENT_ENTRYID, parentId);
        row.Set(PR_MESSAGE_FLAGS, static_cast<std::int32_t>(span.seen ? MSGFLAG_READ : 0));
        if (const std::optional<FILETIME> delivered = span.date ? span.date : modified)
            row.Set(PR_MESSAGE_DELIVERY_TIME, *delivered);
        if (modified)
            row.Set(PR_LAST_MODIFICATION_TIME, *modified);
        if (fd >= 0 && span.headersEnd > span.headersBegin) {
            header.resize(std::min<std::size_t>(
                static_cast<std::size_t>(span.headersEnd - span.headersBegin), kMaxListingHeaderBytes));
            const ssize_t got = ::pread(fd, header.data(), header.size(), span.headersBegin);
            header.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
            const unsigned fields = (needSender ? static_cast<unsigned>(SummaryFields::Sender) : 0)
                | (needSubject ? static_cast<unsigned>(SummaryFields::Subject) : 0);
            const MailHeaderSummary summary = SummarizeMailHeaders(header, static_cast<SummaryFields>(fields));
            if (!summary.senderName.empty())
                row.Set(PR_SENDER_NAME_W, summary.senderName);
            if (!summary.senderAddress.empty())
                row.Set(PR_SENDER_EMAIL_ADDRESS_W, summary.senderAddress);
            if (!summary.subject.empty())
                row.Set(PR_SUBJECT_W, summary.subject);
        }
        rows->push_back(std::move(row));
    }
    if (fd >= 0)
        ::close(fd);
    return S_OK;
}

const FolderLayout kMboxTree { ParentOf, IsChildOf, DisplayNameOf, KindBitsOf, LoadContentsRows };

} // namespace

bool IsValidMboxFolderName(std::string_view folder)
{
    if (folder.empty())
        return true;
    std::size_t start = 0;
    while (start <= folder.size()) {
        const std::size_t slash = std::min(folder.find('/', start), folder.size());
        const std::string_view level = folder.substr(start, slash - start);
        if (level.empty() || level == "." || level == ".." || level.ends_with(kSubfolderSuffix)
            || level.find('\0') != std::string_view::npos)
            return false;
        start = slash + 1;
    }
    return true;
}

fs::path MboxFolderFile(const MaildirStoreInfo& store, std::string_view folder)
{
    fs::path path(store.path);
    if (store.kind == StoreKind::MboxFile)
        return path;
    std::size_t start = 0;
    while (true) {
        const std::size_t slash = folder.find('/', start);
        if (slash == std::string_view::npos) {
            return path / std::string(folder.substr(start));
        }
        path /= std::string(folder.substr(start, slash - start)) + std::string(kSubfolderSuffix);
        start = slash + 1;
    }
}

std::vector<std::string> ListMboxFolders(const MaildirStoreInfo& store)
{
    if (store.kind == StoreKind::MboxFile)
        return { "" };
    std::vector<std::string> folders;
    AddTreeLevel(store.path, "", 0, folders);
    // Inbox first among its siblings, then by name; a folder and its ".sbd"
    // directory give the name once.
    const auto key = [](const std::string& name) {
        std::string sortable;
        std::size_t start = 0;
        while (start <= name.size()) {
            const std::size_t slash = std::min(name.find('/', start), name.size());
            const std::string_view level = std::string_view(name).substr(start, slash - start);
            sortable += SameIgnoringCase(level, kInboxName) ? std::string("\x01") : std::string("\x02");
            sortable += level;
            sortable += '\0';
            start = slash + 1;
        }
        return sortable;
    };
    std::sort(
        folders.begin(), folders.end(), [&](const std::string& a, const std::string& b) { return key(a) < key(b); });
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    return folders;
}

// Store.

MboxStore::MboxStore(MaildirStoreInfo info)
    : info_(std::move(info))
{
}

HRESULT MboxStore::GetProps(std::span<const ULONG> tags, ULONG flags, ULONG* count, SPropValue** values)
{
    PropertySet props;
    props.Set(PR_ENTRYID, MakeEntryId({ EntryKind::Store, info_.path, {}, {} }));
    props.Set(PR_DISPLAY_NAME_W, info_.name);
    props.Set(PR_IPM_SUBTREE_ENTRYID, FolderId(info_, kTopFolderName));
    std::string first;
    if (info_.kind == StoreKind::MboxTree) {
        const std::vector<std::string> folders = ListMboxFolders(info_);
        const auto inbox = std::find_if(
            folders.begin(), folders.end(), [](const std::string& name) { return SameIgnoringCase(name, kInboxName); });
        first = inbox != folders.end() ? *inbox : folders.empty() ? std::string(kTopFolderName) : folders.front();
    }
    props.Set(PR_CE_FIRST_FOLDER_ENTRYID, FolderId(info_, first));
    return CopyPropsToBuffer(props, tags, count, values);
}

HRESULT MboxStore::OpenProperty(ULONG tag, ULONG options, ULONG flags, std::unique_ptr<IStream>* stream)
{
    return MAPI_E_NO_SUPPORT;
}

HRESULT MboxStore::OpenEntry(EntryIdBytes entryId, ULONG flags, ULONG* objectType, std::unique_ptr<IMAPIProp>* object)
{
    if (object == nullptr)
        return MAPI_E_INVALID_PARAMETER;
    object->reset();
    const std::optional<ParsedEntryId> id = ParseEntryId(entryId);
    if (id && id->kind == EntryKind::MessageFile) {
        // A message file beside the mbox files, named on the command line.
        std::unique_ptr<IMessage> message;
        const HRESULT result = OpenMessageFile(id->storePath, &message);
        if (Succeeded(result)) {
            if (objectType != nullptr)
                *objectType = MAPI_MESSAGE;
            *object = std::move(message);
        }
        return result;
    }
    if (!id || id->storePath != info_.path || id->kind == EntryKind::Store)
        return MAPI_E_INVALID_ENTRYID;
    if (id->folder != kTopFolderName && !IsValidMboxFolderName(id->folder))
        return MAPI_E_INVALID_ENTRYID;
    std::vector<std::string> folders = ListMboxFolders(info_);
    if (id->folder != kTopFolderName && std::find(folders.begin(), folders.end(), id->folder) == folders.end())
        return MAPI_E_NOT_FOUND;
    if (id->kind == EntryKind::Folder) {
        if (objectType != nullptr)
            *objectType = MAPI_FOLDER;
        *object = std::make_unique<StoreFolder>(kMboxTree, info_, id->folder, std::move(folders));
        return S_OK;
    }
    const std::optional<MboxMessageRef> ref = ParseMboxMessageName(id->message);
    if (!ref || id->folder == kTopFolderName)
        return MAPI_E_NOT_FOUND;
    const fs::path file = MboxFolderFile(info_, id->folder);
    const std::optional<MboxMessageSpan> span = FindMboxMessage(file, *ref);
    if (!span)
        return MAPI_E_NOT_FOUND;
    auto bytes = ReadFileRange(file, span->headersBegin, span->end);
    if (!bytes)
        return MAPI_E_NOT_FOUND;
    MailFileFacts facts;
    facts.entryId.assign(entryId.begin(), entryId.end());
    facts.parentEntryId = FolderId(info_, id->folder);
    facts.modificationTime = FileModificationTime(file);
    facts.deliveryStamp = span->date ? span->date : facts.modificationTime;
    facts.seen = span->seen;
    if (objectType != nullptr)
        *objectType = MAPI_MESSAGE;
    *object = std::make_unique<MailFileMessage>(std::move(bytes), std::move(facts));
    return S_OK;
}

} // namespace platform
