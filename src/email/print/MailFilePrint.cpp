#include "MailFilePrint.h"

#include "EntryId.h"
#include "MailPrint.h"
#include "MailStore.h"
#include "MailStoreAccess.h"
#include "MaildirLayout.h"
#include "MboxReader.h"
#include "Messages.h"
#include "PrintJob.h"
#include "StringIds.h"

#include <array>
#include <system_error>

namespace email {

namespace fs = std::filesystem;

namespace {

bool IsDirectory(const fs::path& path)
{
    std::error_code error;
    return fs::is_directory(path, error);
}

bool IsMaildirFolder(const fs::path& directory)
{
    return IsDirectory(directory / "cur") && IsDirectory(directory / "new");
}

// The store directory of the session and the entry identifier of the
// message: a file in cur/ or new/ of a Maildir folder is named as a message
// of its store, so its delivery time comes from its file name as in the
// list; any other file is named by its path.
struct MailFileEntry {
    fs::path storeDirectory;
    std::vector<std::uint8_t> entryId;
};

MailFileEntry EntryForFile(const fs::path& file)
{
    const fs::path subdirectory = file.parent_path();
    const fs::path folderDirectory = subdirectory.parent_path();
    const std::string subdirectoryName = subdirectory.filename().string();
    const std::string unique = platform::UniqueNameOf(file.filename().string());
    if ((subdirectoryName == "cur" || subdirectoryName == "new") && IsMaildirFolder(folderDirectory)
        && platform::IsValidUniqueName(unique)) {
        fs::path store = folderDirectory;
        std::string folder;
        const std::string folderName = folderDirectory.filename().string();
        if (folderName.starts_with('.') && platform::IsValidFolderName(folderName)
            && IsMaildirFolder(folderDirectory.parent_path())) {
            store = folderDirectory.parent_path();
            folder = folderName;
        }
        const std::string storePath = store.string();
        if (platform::FindMessageFile(platform::FolderDirectory(store, folder), unique)) {
            return { store, platform::MakeEntryId({ platform::EntryKind::Message, storePath, folder, unique }) };
        }
    }
    return { file.parent_path(), platform::MakeEntryId({ platform::EntryKind::MessageFile, file.string(), {}, {} }) };
}

bool IsMboxFile(const fs::path& file)
{
    std::error_code error;
    return fs::is_regular_file(file, error) && fs::file_size(file, error) > 0 && !error
        && platform::LooksLikeMboxFile(file);
}

// The job is called after the message's subject.
void TitleJobAfterSubject(platform::IMessage& message)
{
    constexpr std::array<platform::ULONG, 1> kSubjectTag = { platform::PR_SUBJECT_W };
    platform::ULONG count = 0;
    platform::SPropValue* values = nullptr;
    if (message.GetProps(kSubjectTag, platform::MAPI_UNICODE, &count, &values) == platform::S_OK && values && count == 1
        && values[0].ulPropTag == platform::PR_SUBJECT_W && values[0].Value.lpszW && *values[0].Value.lpszW)
        printengine::SetJobTitle(values[0].Value.lpszW);
    platform::MAPIFreeBuffer(values);
}

void ShowMessageOutOfRange(std::size_t count)
{
    const std::string number = std::to_string(count);
    core::ShowMessageIdWithText(platform::kStrMessageOutOfRange, std::u16string(number.begin(), number.end()).c_str());
}

// Every message of an mbox file (or the one asked for) as one job, each
// message on pages of its own. The file is only read.
MailFilePrintResult PrintMboxFile(const fs::path& path, const fs::path& file, std::optional<unsigned> messageNumber)
{
    if (platform::Failed(platform::MAPIInitialize(nullptr))) {
        core::ShowMessageId(kEmailPrintFailedMessage);
        return MailFilePrintResult::NotPrinted;
    }
    std::vector<platform::MboxMessageSpan> spans = platform::ScanMboxFile(file);
    // What Thunderbird deleted stays in the file until it compacts it.
    std::erase_if(spans, [](const platform::MboxMessageSpan& span) { return span.deleted; });
    if (spans.empty() || (messageNumber && (*messageNumber == 0 || *messageNumber > spans.size()))) {
        if (spans.empty()) {
            const std::u16string name = path.u16string();
            core::ShowMessageIdWithText(platform::kStrInvalidFileType, core::PathAsWritten(name.c_str()).c_str());
        } else {
            ShowMessageOutOfRange(spans.size());
        }
        platform::MAPIUninitialize();
        return MailFilePrintResult::NotPrinted;
    }
    if (messageNumber)
        spans = { spans[*messageNumber - 1] };

    MailSession& mail = Mail();
    platform::OpenMaildirSession({ { u"", file } }, &mail.session);
    const std::vector<std::uint8_t> storeId
        = platform::MakeEntryId({ platform::EntryKind::Store, file.string(), {}, {} });
    const EntryIdBlock storeBlock { static_cast<platform::ULONG>(storeId.size()),
        const_cast<std::uint8_t*>(storeId.data()) };
    CopyEntryId(mail.MailStoreEntryId, &storeBlock);
    std::vector<std::vector<std::uint8_t>> ids;
    for (const platform::MboxMessageSpan& span : spans)
        ids.push_back(platform::MakeEntryId(
            { platform::EntryKind::Message, file.string(), std::string(), platform::MboxMessageName(span) }));
    std::vector<EntryIdBlock> blocks;
    for (std::vector<std::uint8_t>& id : ids)
        blocks.push_back({ static_cast<platform::ULONG>(id.size()), id.data() });

    // One message gives the job its subject; more give it the file's name.
    std::unique_ptr<platform::IMAPIProp> first;
    platform::ULONG type = 0;
    if (blocks.size() == 1 && platform::Succeeded(mail.session->OpenEntry(ids.front(), 0, &type, &first)) && first
        && type == platform::MAPI_MESSAGE)
        TitleJobAfterSubject(static_cast<platform::IMessage&>(*first));
    else if (blocks.size() > 1)
        printengine::SetJobTitle(file.filename().u16string().c_str());
    first.reset();

    const std::uint16_t failStep = PrintMailMessagesWithStep(blocks, MailViewRefresh::NoView);
    CloseMailSession(true);
    return failStep != 0 ? MailFilePrintResult::FailedPartWay : MailFilePrintResult::JobRan;
}

} // namespace

MailFilePrintResult PrintMailFile(const fs::path& path, std::optional<unsigned> messageNumber)
{
    ConnectMailOutput();
    std::error_code error;
    const fs::path file = fs::absolute(path, error).lexically_normal();
    if (!error && IsMboxFile(file))
        return PrintMboxFile(path, file, messageNumber);
    std::unique_ptr<platform::IMessage> probe;
    const platform::HRESULT opened = error ? platform::MAPI_E_NOT_FOUND : platform::OpenMessageFile(file, &probe);
    if (platform::Failed(opened)) {
        // A file that cannot be read, and one that is no message, say so
        // with the file's name.
        const std::u16string name = path.u16string();
        if (opened == platform::MAPI_E_CORRUPT_DATA)
            core::ShowMessageIdWithText(platform::kStrInvalidFileType, core::PathAsWritten(name.c_str()).c_str());
        else
            core::ShowFileMessage(platform::kStrFileOpenFailed, name.c_str());
        return MailFilePrintResult::NotPrinted;
    }
    // A message file holds one message.
    if (messageNumber && *messageNumber != 1) {
        ShowMessageOutOfRange(1);
        return MailFilePrintResult::NotPrinted;
    }
    TitleJobAfterSubject(*probe);
    probe.reset();

    const MailFileEntry entry = EntryForFile(file);
    MailSession& mail = Mail();
    if (platform::Failed(platform::MAPIInitialize(nullptr))) {
        core::ShowMessageId(kEmailPrintFailedMessage);
        return MailFilePrintResult::NotPrinted;
    }
    platform::OpenMaildirSession({ { u"", entry.storeDirectory } }, &mail.session);
    const std::vector<std::uint8_t> storeId
        = platform::MakeEntryId({ platform::EntryKind::Store, entry.storeDirectory.string(), {}, {} });
    const EntryIdBlock storeBlock { static_cast<platform::ULONG>(storeId.size()),
        const_cast<std::uint8_t*>(storeId.data()) };
    CopyEntryId(mail.MailStoreEntryId, &storeBlock);

    const EntryIdBlock message { static_cast<platform::ULONG>(entry.entryId.size()),
        const_cast<std::uint8_t*>(entry.entryId.data()) };
    const std::uint16_t failStep = PrintMailMessageWithStep(&message, MailViewRefresh::NoView);
    CloseMailSession(true);
    return failStep != 0 ? MailFilePrintResult::FailedPartWay : MailFilePrintResult::JobRan;
}

} // namespace email
