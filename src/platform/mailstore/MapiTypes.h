#pragma once

// The value types of the message-store layer: result codes, property tags
// and types, property values, rows and the time stamp. They keep the
// published names and numbers, so the e-mail code reads like the messaging
// calls it makes.

#include <cstdint>

namespace platform {

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;

inline constexpr bool Failed(HRESULT result)
{
    return result < 0;
}
inline constexpr bool Succeeded(HRESULT result)
{
    return result >= 0;
}

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
inline constexpr HRESULT MAPI_E_CALL_FAILED = E_FAIL;
inline constexpr HRESULT MAPI_E_NOT_ENOUGH_MEMORY = E_OUTOFMEMORY;
inline constexpr HRESULT MAPI_E_INVALID_PARAMETER = E_INVALIDARG;
inline constexpr HRESULT MAPI_E_NO_SUPPORT = static_cast<HRESULT>(0x80040102u);
inline constexpr HRESULT MAPI_E_INVALID_ENTRYID = static_cast<HRESULT>(0x80040107u);
inline constexpr HRESULT MAPI_E_NOT_FOUND = static_cast<HRESULT>(0x8004010Fu);
inline constexpr HRESULT MAPI_E_CORRUPT_DATA = static_cast<HRESULT>(0x8004011Bu);
inline constexpr HRESULT MAPI_E_NOT_INITIALIZED = static_cast<HRESULT>(0x80040605u);
inline constexpr HRESULT MAPI_E_LOGON_FAILED = static_cast<HRESULT>(0x80040111u);
inline constexpr HRESULT STG_E_INVALIDFUNCTION = static_cast<HRESULT>(0x80030001u);
inline constexpr HRESULT STG_E_READFAULT = static_cast<HRESULT>(0x8003001Eu);
// A warning, not a failure: some of the requested values are error-typed.
inline constexpr HRESULT MAPI_W_ERRORS_RETURNED = 0x00040380;

// Property types.
inline constexpr ULONG PT_UNSPECIFIED = 0x0000;
inline constexpr ULONG PT_LONG = 0x0003;
inline constexpr ULONG PT_ERROR = 0x000A;
inline constexpr ULONG PT_BOOLEAN = 0x000B;
inline constexpr ULONG PT_UNICODE = 0x001F;
inline constexpr ULONG PT_SYSTIME = 0x0040;
inline constexpr ULONG PT_BINARY = 0x0102;

inline constexpr ULONG PROP_TAG(ULONG type, ULONG id)
{
    return (id << 16) | type;
}
inline constexpr ULONG PROP_TYPE(ULONG tag)
{
    return tag & 0xFFFFu;
}
inline constexpr ULONG PROP_ID(ULONG tag)
{
    return tag >> 16;
}

// Property tags.
inline constexpr ULONG PR_ENTRYID = 0x0FFF0102;
inline constexpr ULONG PR_DISPLAY_NAME_W = 0x3001001F;
inline constexpr ULONG PR_SUBFOLDERS = 0x360A000B;
inline constexpr ULONG PR_FOLDER_TYPE = 0x36010003;
inline constexpr ULONG PR_IPM_SUBTREE_ENTRYID = 0x35E00102;
inline constexpr ULONG PR_PARENT_ENTRYID = 0x0E090102;
inline constexpr ULONG PR_CONTENT_COUNT = 0x36020003;
// The store property naming the folder a store opens first (its Inbox).
inline constexpr ULONG PR_CE_FIRST_FOLDER_ENTRYID = 0x81060102;
inline constexpr ULONG PR_SENDER_NAME_W = 0x0C1A001F;
inline constexpr ULONG PR_SENDER_EMAIL_ADDRESS_W = 0x0C1F001F;
inline constexpr ULONG PR_MESSAGE_DELIVERY_TIME = 0x0E060040;
inline constexpr ULONG PR_SUBJECT_W = 0x0037001F;
inline constexpr ULONG PR_MESSAGE_FLAGS = 0x0E070003;
inline constexpr ULONG PR_MESSAGE_SIZE = 0x0E080003;
inline constexpr ULONG PR_LAST_MODIFICATION_TIME = 0x30080040;
inline constexpr ULONG PR_RECIPIENT_TYPE = 0x0C150003;
inline constexpr ULONG PR_EMAIL_ADDRESS_W = 0x3003001F;
inline constexpr ULONG PR_ROWID = 0x30000003;
inline constexpr ULONG PR_ATTACH_NUM = 0x0E210003;
inline constexpr ULONG PR_ATTACH_FILENAME_W = 0x3704001F;
inline constexpr ULONG PR_ATTACH_SIZE = 0x0E200003;
inline constexpr ULONG PR_ATTACH_METHOD = 0x37050003;
inline constexpr std::int32_t ATTACH_EMBEDDED_MSG = 5; // a PR_ATTACH_METHOD value: a forwarded message
inline constexpr ULONG PR_BODY_W = 0x1000001F;
// The message's full MIME text, headers first.
inline constexpr ULONG PR_CE_MIME_TEXT = 0x81030102;

// Flags and values.
inline constexpr ULONG MAPI_UNICODE = 0x80000000u;
inline constexpr ULONG MAPI_DEFERRED_ERRORS = 0x00000008u;
inline constexpr ULONG MSGFLAG_READ = 0x00000001u;
inline constexpr ULONG MAPI_TO = 1;
inline constexpr ULONG MAPI_CC = 2;
inline constexpr ULONG MAPI_BCC = 3;
inline constexpr ULONG TABLE_SORT_ASCEND = 0;
inline constexpr ULONG TABLE_SORT_DESCEND = 1;
inline constexpr ULONG MAPI_STORE = 1;
inline constexpr ULONG MAPI_FOLDER = 3;
inline constexpr ULONG MAPI_MESSAGE = 5;

// Folder kind bits of PR_FOLDER_TYPE that choose a folder's picture in the
// tree. A Maildir says nothing about kinds; the store gives these bits to the
// Inbox and to the usual folder names (see MaildirLayout.cpp).
inline constexpr ULONG FOLDER_GENERIC = 0x00000001u;
inline constexpr ULONG kFolderKindInbox = 0x00040000u;
inline constexpr ULONG kFolderKindOutbox = 0x00080000u;
inline constexpr ULONG kFolderKindSent = 0x00200000u;
inline constexpr ULONG kFolderKindDrafts = 0x00400000u;
inline constexpr ULONG kFolderKindTrash = 0x00800000u;

// Time stamp: 100-nanosecond intervals since 1601-01-01 UTC.
struct FILETIME {
    std::uint32_t dwLowDateTime;
    std::uint32_t dwHighDateTime;
};

inline constexpr std::uint64_t kFileTimeTicksPerSecond = 10'000'000;
inline constexpr std::uint64_t kUnixEpochInFileTimeSeconds = 11'644'473'600;

inline constexpr FILETIME FileTimeFromTicks(std::uint64_t ticks)
{
    return FILETIME { static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32) };
}
inline constexpr std::uint64_t FileTimeTicks(FILETIME time)
{
    return (std::uint64_t { time.dwHighDateTime } << 32) | time.dwLowDateTime;
}
// Seconds and microseconds since 1970 to a time stamp; times before 1601
// become the earliest stamp.
FILETIME FileTimeFromUnix(std::int64_t seconds, std::int64_t microseconds);

struct SBinary {
    ULONG cb;
    std::uint8_t* lpb;
};

union PropValueData {
    std::int32_t l;
    std::uint16_t b;
    FILETIME ft;
    char16_t* lpszW;
    SBinary bin;
    HRESULT err;
};

// One property value. A missing property comes back with the type PT_ERROR
// in its tag and the reason in Value.err.
struct SPropValue {
    ULONG ulPropTag;
    ULONG dwAlignPad;
    PropValueData Value;
};

struct SRow {
    ULONG ulAdrEntryPad;
    ULONG cValues;
    SPropValue* lpProps;
};

// A block of rows; aRow holds cRows entries (the block is allocated with room
// for them). Freed with FreeProws.
struct SRowSet {
    ULONG cRows;
    SRow aRow[1];
};

struct SSortOrder {
    ULONG ulPropTag;
    ULONG ulOrder;
};

struct STATSTG {
    std::uint64_t cbSize;
};

inline constexpr ULONG STREAM_SEEK_SET = 0;
inline constexpr ULONG STREAM_SEEK_CUR = 1;
inline constexpr ULONG STREAM_SEEK_END = 2;
inline constexpr ULONG STATFLAG_NONAME = 1;

} // namespace platform
