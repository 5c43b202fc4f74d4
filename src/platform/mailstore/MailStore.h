#pragma once

// Entry points of the message-store layer: start-up and shut-down, logon to
// the configured Maildir stores (MailStoreConfig.h), and messages opened
// straight from a file or from bytes.

#include "MailStoreConfig.h"
#include "MapiInterfaces.h"
#include "MapiMemory.h"
#include "MapiTypes.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

namespace platform {

// Calls nest: each MAPIInitialize wants one MAPIUninitialize.
HRESULT MAPIInitialize(void* init);
void MAPIUninitialize();

// A session over the stores of the configuration. MAPI_E_NOT_INITIALIZED
// before MAPIInitialize. A session without stores is valid; opening the
// default store then fails with MAPI_E_NOT_FOUND.
HRESULT MAPILogonEx(std::uintptr_t uiParam, const char16_t* profileName, const char16_t* password, ULONG flags,
    std::unique_ptr<IMAPISession>* session);

// A session over the given stores, the first being the default one.
HRESULT OpenMaildirSession(std::vector<MailStoreConfigEntry> stores, std::unique_ptr<IMAPISession>* session);

// A standalone message file (.eml, or one file of a Maildir). Its delivery
// time is its Date header, else the file's time.
HRESULT OpenMessageFile(const std::filesystem::path& path, std::unique_ptr<IMessage>* message);

// A message over bytes in memory, as a file would give them.
HRESULT OpenMessageBytes(std::vector<std::uint8_t> bytes, std::unique_ptr<IMessage>* message);

// Messages larger than this are not opened.
inline constexpr std::uintmax_t kMaxMessageFileBytes = 128 * 1024 * 1024;

} // namespace platform
