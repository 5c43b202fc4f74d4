#include "MailFilePrint.h"

#include "EntryId.h"
#include "MailPrint.h"
#include "MailStore.h"
#include "MailStoreAccess.h"
#include "MaildirLayout.h"
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

} // namespace

MailFilePrintResult PrintMailFile(const fs::path& path)
{
    ConnectMailOutput();
    std::error_code error;
    const fs::path file = fs::absolute(path, error).lexically_normal();
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
    // The job is called after the message's subject.
    constexpr std::array<platform::ULONG, 1> kSubjectTag = { platform::PR_SUBJECT_W };
    platform::ULONG count = 0;
    platform::SPropValue* values = nullptr;
    if (probe->GetProps(kSubjectTag, platform::MAPI_UNICODE, &count, &values) == platform::S_OK && values && count == 1
        && values[0].ulPropTag == platform::PR_SUBJECT_W && values[0].Value.lpszW && *values[0].Value.lpszW)
        printengine::SetJobTitle(values[0].Value.lpszW);
    platform::MAPIFreeBuffer(values);
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
