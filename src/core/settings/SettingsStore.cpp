#include "SettingsStore.h"

#include "AppSettings.h"
#include "ByteCursor.h"
#include "ByteWriter.h"
#include "Registry.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace core {
namespace {

using platform::BYTE;
using platform::DWORD;
using platform::HKEY;

constexpr char16_t kSettingsKey[] = u"Software\\Apps\\Brackwater\\Tallowin";
constexpr char16_t kPrStoreName[] = u"PrStore";
constexpr char16_t kPrStoreInboxName[] = u"PrStoreInbox";
constexpr char16_t kPrExcelName[] = u"PrExcel";
constexpr char16_t kPrMapiName[] = u"PrMAPI";

constexpr std::size_t kFaceBytes = kFaceNameUnits * sizeof(char16_t);

// "PrStore": general switches, resize choice and the plain-text font.
namespace prstore {
constexpr std::size_t Size = 100;
constexpr std::size_t QuickPrint = 0;
constexpr std::size_t PlainText = 4;
constexpr std::size_t ResizeChoice = 8;
constexpr std::size_t Flags = 12;
constexpr std::size_t Version = 16;
constexpr std::size_t TextFontSize = 20;
constexpr std::size_t TextTabSize = 28;
constexpr std::size_t TextBold = 32;
constexpr std::size_t TextItalic = 33;
constexpr std::size_t TextFontFace = 34;
static_assert(TextFontFace + kFaceBytes + 2 == Size);
} // namespace prstore

// "PrStoreInbox": the list shown last and the e-mail fonts.
namespace prinbox {
constexpr std::size_t Size = 164;
constexpr std::size_t ViewMode = 0;
constexpr std::size_t MailHeaderFontSize = 4;
constexpr std::size_t MailHeaderBold = 8;
constexpr std::size_t MailHeaderItalic = 9;
constexpr std::size_t MailBodyFontSize = 12;
constexpr std::size_t MailBodyBold = 16;
constexpr std::size_t MailBodyItalic = 17;
constexpr std::size_t MailHeaderFontFace = 18;
constexpr std::size_t MailBodyFontFace = 82;
constexpr std::size_t MailHeaderOrder = 146;
constexpr std::size_t ReservedWord = 148;
constexpr std::size_t MailHeaderCharset = 152;
constexpr std::size_t MailBodyCharset = 153;
constexpr std::size_t TextFontCharset = 154;
static_assert(MailHeaderFontFace + kFaceBytes == MailBodyFontFace);
static_assert(MailBodyFontFace + kFaceBytes == MailHeaderOrder);
static_assert(TextFontCharset + 1 + 9 == Size);
} // namespace prinbox

// "PrExcel": the stored spreadsheet print options.
namespace prexcel {
constexpr std::size_t Size = 28;
constexpr std::size_t SheetGridlines = 0;
constexpr std::size_t SheetHeadings = 8;
constexpr std::size_t SheetBackgroundColors = 12;
constexpr std::size_t SheetSizing = 16;
constexpr std::size_t SheetCenter = 17;
constexpr std::size_t SheetCustomPercent = 20;
static_assert(SheetCustomPercent + 2 + 6 == Size);
} // namespace prexcel

// "PrMAPI": two 16-bit lengths, the two entry identifiers, 2 reserved bytes.
namespace prmapi {
constexpr std::size_t StoreLength = 0;
constexpr std::size_t FolderLength = 2;
constexpr std::size_t StoreEntryId = 4;
constexpr std::size_t FixedBytes = 6;
} // namespace prmapi

constexpr std::uint32_t kFormatVersion = 3570;
constexpr std::uint32_t kShowStartupScreenBit = 0x1;

struct ResizeScale {
    std::int32_t Choice;
    std::int32_t Num;
    std::int32_t Den;
};

constexpr std::array<ResizeScale, 5> kResizeScales { {
    { kResizeChoice50, 1, 2 },
    { kResizeChoice75, 3, 4 },
    { kResizeChoice100, 1, 1 },
    { kResizeChoice125, 5, 4 },
    { kResizeChoice150, 3, 2 },
} };

// A field of a record: where it starts and how many bytes it takes. A save
// writes a field over what the file holds only when this copy changed it.
struct Field {
    std::size_t Offset;
    std::size_t Size;
};

constexpr std::array<Field, 10> kPrStoreFields { {
    { prstore::QuickPrint, 4 },
    { prstore::PlainText, 4 },
    { prstore::ResizeChoice, 4 },
    { prstore::Flags, 4 },
    { prstore::Version, 4 },
    { prstore::TextFontSize, 4 },
    { prstore::TextTabSize, 4 },
    { prstore::TextBold, 1 },
    { prstore::TextItalic, 1 },
    { prstore::TextFontFace, kFaceBytes },
} };

constexpr std::array<Field, 14> kPrStoreInboxFields { {
    { prinbox::ViewMode, 4 },
    { prinbox::MailHeaderFontSize, 4 },
    { prinbox::MailHeaderBold, 1 },
    { prinbox::MailHeaderItalic, 1 },
    { prinbox::MailBodyFontSize, 4 },
    { prinbox::MailBodyBold, 1 },
    { prinbox::MailBodyItalic, 1 },
    { prinbox::MailHeaderFontFace, kFaceBytes },
    { prinbox::MailBodyFontFace, kFaceBytes },
    { prinbox::MailHeaderOrder, 2 },
    { prinbox::ReservedWord, 4 },
    { prinbox::MailHeaderCharset, 1 },
    { prinbox::MailBodyCharset, 1 },
    { prinbox::TextFontCharset, 1 },
} };

constexpr std::array<Field, 6> kPrExcelFields { {
    { prexcel::SheetGridlines, 4 },
    { prexcel::SheetHeadings, 4 },
    { prexcel::SheetBackgroundColors, 4 },
    { prexcel::SheetSizing, 1 },
    { prexcel::SheetCenter, 1 },
    { prexcel::SheetCustomPercent, 2 },
} };

// The older "PrStoreInbox" ends before the header order.
constexpr std::size_t kOlderPrStoreInboxSize = prinbox::MailHeaderOrder;

using Bytes = std::vector<std::uint8_t>;

// What this copy knows of one value: its bytes in the file when this copy
// last read or wrote it (nothing when it was missing), and the record as
// this copy's settings made it then. A field that differs from the latter is
// this copy's own edit.
struct RecordSync {
    std::optional<Bytes> LastSeen;
    Bytes Base;
};

struct StoreSync {
    RecordSync PrStore;
    RecordSync PrStoreInbox;
    RecordSync PrExcel;
    RecordSync PrMapi;
};

StoreSync& Sync()
{
    static StoreSync sync;
    return sync;
}

// Reads one value whole; nothing when it is missing or cannot be read.
std::optional<Bytes> ReadValue(HKEY key, const char16_t* name)
{
    DWORD length = 0;
    if (platform::RegQueryValueExW(key, name, nullptr, nullptr, nullptr, &length) != platform::ERROR_SUCCESS)
        return std::nullopt;
    Bytes data(length);
    DWORD size = length;
    if (platform::RegQueryValueExW(key, name, nullptr, nullptr, data.data(), &size) != platform::ERROR_SUCCESS)
        return std::nullopt;
    data.resize(size);
    return data;
}

// The stored bytes in a zero-filled buffer of the record's size; nothing
// when the value is missing or larger than the record, and the fields keep
// their values then. Bytes that a shorter value lacks read as 0.
std::optional<Bytes> FitRecord(const std::optional<Bytes>& stored, std::size_t size)
{
    if (!stored || stored->size() > size)
        return std::nullopt;
    Bytes buffer(size, 0);
    std::copy(stored->begin(), stored->end(), buffer.begin());
    return buffer;
}

// Copies a stored face name; the last unit stays 0 so the face is always a
// terminated string, whatever the stored bytes hold.
void ReadFace(const platform::ByteCursor& record, std::size_t offset, char16_t (&face)[kFaceNameUnits])
{
    for (std::size_t i = 0; i < kFaceNameUnits; ++i)
        face[i] = static_cast<char16_t>(record.ReadAt<std::uint16_t>(offset + 2 * i).value_or(0));
    face[kFaceNameUnits - 1] = 0;
}

void WriteFace(platform::ByteWriter& record, std::size_t offset, const char16_t (&face)[kFaceNameUnits])
{
    for (std::size_t i = 0; i < kFaceNameUnits; ++i)
        record.WriteAt<std::uint16_t>(offset + 2 * i, face[i]);
}

void DecodePrStore(std::span<const std::uint8_t> buffer, AppSettings& settings)
{
    platform::ByteCursor record(buffer);
    settings.ShowStartupScreen
        = (record.ReadAt<std::uint32_t>(prstore::Flags).value_or(0) & kShowStartupScreenBit) != 0;
    settings.QuickPrint = record.ReadAt<std::int32_t>(prstore::QuickPrint).value_or(0);
    settings.PlainText = record.ReadAt<std::int32_t>(prstore::PlainText).value_or(0);
    SetResizeChoice(record.ReadAt<std::int32_t>(prstore::ResizeChoice).value_or(0));
    settings.TextFontSize = record.ReadAt<std::int32_t>(prstore::TextFontSize).value_or(0);
    settings.TextTabSize = record.ReadAt<std::int32_t>(prstore::TextTabSize).value_or(0);
    settings.TextBold = record.ReadAt<std::uint8_t>(prstore::TextBold).value_or(0);
    settings.TextItalic = record.ReadAt<std::uint8_t>(prstore::TextItalic).value_or(0);
    ReadFace(record, prstore::TextFontFace, settings.TextFontFace);
}

// Everything but the view, which the caller takes as it needs; the header
// order and the reserved word only from a record of the full size.
void DecodePrStoreInbox(std::span<const std::uint8_t> buffer, bool fullSize, AppSettings& settings)
{
    platform::ByteCursor record(buffer);
    settings.MailHeaderFontSize = record.ReadAt<std::int32_t>(prinbox::MailHeaderFontSize).value_or(0);
    settings.MailHeaderBold = record.ReadAt<std::uint8_t>(prinbox::MailHeaderBold).value_or(0);
    settings.MailHeaderItalic = record.ReadAt<std::uint8_t>(prinbox::MailHeaderItalic).value_or(0);
    settings.MailBodyFontSize = record.ReadAt<std::int32_t>(prinbox::MailBodyFontSize).value_or(0);
    settings.MailBodyBold = record.ReadAt<std::uint8_t>(prinbox::MailBodyBold).value_or(0);
    settings.MailBodyItalic = record.ReadAt<std::uint8_t>(prinbox::MailBodyItalic).value_or(0);
    settings.MailHeaderCharset = record.ReadAt<std::uint8_t>(prinbox::MailHeaderCharset).value_or(0);
    settings.MailBodyCharset = record.ReadAt<std::uint8_t>(prinbox::MailBodyCharset).value_or(0);
    settings.TextFontCharset = record.ReadAt<std::uint8_t>(prinbox::TextFontCharset).value_or(0);
    ReadFace(record, prinbox::MailHeaderFontFace, settings.MailHeaderFontFace);
    ReadFace(record, prinbox::MailBodyFontFace, settings.MailBodyFontFace);
    if (fullSize) {
        settings.MailHeaderOrder = record.ReadAt<std::int16_t>(prinbox::MailHeaderOrder).value_or(0);
        settings.InboxReservedWord = record.ReadAt<std::uint32_t>(prinbox::ReservedWord).value_or(0);
    }
}

void DecodePrExcel(std::span<const std::uint8_t> buffer, AppSettings& settings)
{
    platform::ByteCursor record(buffer);
    settings.SheetGridlines = record.ReadAt<std::int32_t>(prexcel::SheetGridlines).value_or(0);
    settings.SheetHeadings = record.ReadAt<std::int32_t>(prexcel::SheetHeadings).value_or(0);
    settings.SheetBackgroundColors = record.ReadAt<std::int32_t>(prexcel::SheetBackgroundColors).value_or(0);
    settings.SheetSizing = record.ReadAt<std::uint8_t>(prexcel::SheetSizing).value_or(0);
    settings.SheetCenter = record.ReadAt<std::uint8_t>(prexcel::SheetCenter).value_or(0);
    settings.SheetCustomPercent = record.ReadAt<std::int16_t>(prexcel::SheetCustomPercent).value_or(0);
}

void LoadPrStore(HKEY key, AppSettings& settings, RecordSync& sync)
{
    sync.LastSeen = ReadValue(key, kPrStoreName);
    if (auto buffer = FitRecord(sync.LastSeen, prstore::Size))
        DecodePrStore(*buffer, settings);
}

void LoadPrStoreInbox(HKEY key, AppSettings& settings, RecordSync& sync)
{
    sync.LastSeen = ReadValue(key, kPrStoreInboxName);
    auto buffer = FitRecord(sync.LastSeen, prinbox::Size);
    if (!buffer)
        return;
    // At process start ViewMode is -1, so the stored list is used unless the
    // command line has already chosen one (it sets ViewMode and StartView to
    // the same value).
    auto& options = Options();
    if (settings.ViewMode != options.StartView)
        options.StartView = platform::ByteCursor(*buffer).ReadAt<std::int32_t>(prinbox::ViewMode).value_or(0);
    // An older, shorter value has no header order and no reserved word.
    DecodePrStoreInbox(*buffer, sync.LastSeen->size() == prinbox::Size, settings);
}

void LoadPrExcel(HKEY key, AppSettings& settings, RecordSync& sync)
{
    sync.LastSeen = ReadValue(key, kPrExcelName);
    if (auto buffer = FitRecord(sync.LastSeen, prexcel::Size))
        DecodePrExcel(*buffer, settings);
}

// The blob is kept as stored until the e-mail view turns it into the two
// entry identifiers.
void LoadPrMapi(HKEY key, AppSettings& settings, RecordSync& sync)
{
    sync.LastSeen = ReadValue(key, kPrMapiName);
    auto& blob = settings.MapiBlob;
    if (!sync.LastSeen || sync.LastSeen->empty()) {
        blob.clear();
        blob.shrink_to_fit();
        return;
    }
    blob = *sync.LastSeen;
}

Bytes EncodePrStore(const AppSettings& settings)
{
    Bytes buffer(prstore::Size, 0);
    platform::ByteWriter record(buffer);
    record.WriteAt<std::int32_t>(prstore::QuickPrint, settings.QuickPrint);
    record.WriteAt<std::int32_t>(prstore::PlainText, settings.PlainText);
    record.WriteAt<std::int32_t>(prstore::ResizeChoice, settings.ResizeChoice);
    record.WriteAt<std::uint32_t>(prstore::Flags, settings.ShowStartupScreen ? kShowStartupScreenBit : 0);
    record.WriteAt<std::uint32_t>(prstore::Version, kFormatVersion);
    record.WriteAt<std::int32_t>(prstore::TextFontSize, settings.TextFontSize);
    record.WriteAt<std::int32_t>(prstore::TextTabSize, settings.TextTabSize);
    record.WriteAt<std::uint8_t>(prstore::TextBold, settings.TextBold);
    record.WriteAt<std::uint8_t>(prstore::TextItalic, settings.TextItalic);
    WriteFace(record, prstore::TextFontFace, settings.TextFontFace);
    return buffer;
}

Bytes EncodePrStoreInbox(const AppSettings& settings)
{
    Bytes buffer(prinbox::Size, 0);
    platform::ByteWriter record(buffer);
    record.WriteAt<std::int32_t>(prinbox::ViewMode, settings.ViewMode);
    record.WriteAt<std::int32_t>(prinbox::MailHeaderFontSize, settings.MailHeaderFontSize);
    record.WriteAt<std::uint8_t>(prinbox::MailHeaderBold, settings.MailHeaderBold);
    record.WriteAt<std::uint8_t>(prinbox::MailHeaderItalic, settings.MailHeaderItalic);
    record.WriteAt<std::int32_t>(prinbox::MailBodyFontSize, settings.MailBodyFontSize);
    record.WriteAt<std::uint8_t>(prinbox::MailBodyBold, settings.MailBodyBold);
    record.WriteAt<std::uint8_t>(prinbox::MailBodyItalic, settings.MailBodyItalic);
    WriteFace(record, prinbox::MailHeaderFontFace, settings.MailHeaderFontFace);
    WriteFace(record, prinbox::MailBodyFontFace, settings.MailBodyFontFace);
    record.WriteAt<std::int16_t>(prinbox::MailHeaderOrder, settings.MailHeaderOrder);
    record.WriteAt<std::uint32_t>(prinbox::ReservedWord, settings.InboxReservedWord);
    record.WriteAt<std::uint8_t>(prinbox::MailHeaderCharset, settings.MailHeaderCharset);
    record.WriteAt<std::uint8_t>(prinbox::MailBodyCharset, settings.MailBodyCharset);
    record.WriteAt<std::uint8_t>(prinbox::TextFontCharset, settings.TextFontCharset);
    return buffer;
}

Bytes EncodePrExcel(const AppSettings& settings)
{
    Bytes buffer(prexcel::Size, 0);
    platform::ByteWriter record(buffer);
    record.WriteAt<std::int32_t>(prexcel::SheetGridlines, settings.SheetGridlines);
    record.WriteAt<std::int32_t>(prexcel::SheetHeadings, settings.SheetHeadings);
    record.WriteAt<std::int32_t>(prexcel::SheetBackgroundColors, settings.SheetBackgroundColors);
    record.WriteAt<std::uint8_t>(prexcel::SheetSizing, settings.SheetSizing);
    record.WriteAt<std::uint8_t>(prexcel::SheetCenter, settings.SheetCenter);
    record.WriteAt<std::int16_t>(prexcel::SheetCustomPercent, settings.SheetCustomPercent);
    return buffer;
}

// The lengths are stored as signed 16-bit numbers: an identifier longer than
// that cannot be stored and counts as none, rather than being cut short.
std::span<const std::uint8_t> StorableEntryId(const std::vector<std::uint8_t>& entryId)
{
    if (entryId.size() > static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max()))
        return {};
    return entryId;
}

// Rebuilds the blob from the two identifiers once the e-mail subsystem has
// taken them; until then the blob is written back as it was read.
const Bytes& EncodePrMapi(AppSettings& settings)
{
    auto& blob = settings.MapiBlob;
    if (!settings.MailEntryIdsTaken && settings.MailStoreEntryId.empty() && settings.MailFolderEntryId.empty())
        return blob;
    auto store = StorableEntryId(settings.MailStoreEntryId);
    auto folder = StorableEntryId(settings.MailFolderEntryId);
    std::size_t length = store.empty() && folder.empty() ? 0 : prmapi::FixedBytes + store.size() + folder.size();
    if (blob.size() != length)
        blob.assign(length, 0);
    if (length > 0) {
        platform::ByteWriter record(blob);
        record.WriteAt<std::int16_t>(prmapi::StoreLength, static_cast<std::int16_t>(store.size()));
        record.WriteAt<std::int16_t>(prmapi::FolderLength, static_cast<std::int16_t>(folder.size()));
        record.Seek(prmapi::StoreEntryId);
        record.WriteBytes(store);
        record.WriteBytes(folder);
        record.WriteZeros(2);
    }
    return blob;
}

// What a save of a fixed record writes over `stored`, the value the file
// holds at that moment. When no other copy wrote it since this copy last
// saw it, the record is written whole as this copy makes it; otherwise only
// the fields this copy changed go over the stored bytes, so another copy's
// changes to the rest survive.
Bytes MergeRecord(const Bytes* stored, const Bytes& mine, const RecordSync& sync, std::span<const Field> fields)
{
    if (!stored || stored->size() != mine.size() || (sync.LastSeen && *stored == *sync.LastSeen)
        || sync.Base.size() != mine.size())
        return mine;
    Bytes merged = *stored;
    for (const auto& field : fields) {
        auto from = static_cast<std::ptrdiff_t>(field.Offset);
        auto to = from + static_cast<std::ptrdiff_t>(field.Size);
        if (!std::equal(mine.begin() + from, mine.begin() + to, sync.Base.begin() + from))
            std::copy(mine.begin() + from, mine.begin() + to, merged.begin() + from);
    }
    return merged;
}

// The blob is one field: this copy's when it changed it, else the stored.
Bytes MergeBlob(const Bytes* stored, const Bytes& mine, const RecordSync& sync)
{
    if (!stored || mine != sync.Base)
        return mine;
    return *stored;
}

void WriteMerged(HKEY key, const char16_t* name, platform::RegValueMerge merge)
{
    platform::RegSetValueMergedW(key, name, platform::REG_BINARY, std::move(merge));
}

// The records a copy's settings make now: the base its next save compares
// against.
void TakeBase(AppSettings& settings, StoreSync& sync)
{
    sync.PrStore.Base = EncodePrStore(settings);
    sync.PrStoreInbox.Base = EncodePrStoreInbox(settings);
    sync.PrExcel.Base = EncodePrExcel(settings);
    sync.PrMapi.Base = EncodePrMapi(settings);
}

// After a save, takes into memory what other copies saved to the fields
// this copy left alone (the list shown stays this window's), so memory and
// file agree again.
void TakeSaved(HKEY key, AppSettings& settings, StoreSync& sync)
{
    sync.PrStore.LastSeen = ReadValue(key, kPrStoreName);
    sync.PrStoreInbox.LastSeen = ReadValue(key, kPrStoreInboxName);
    sync.PrExcel.LastSeen = ReadValue(key, kPrExcelName);
    sync.PrMapi.LastSeen = ReadValue(key, kPrMapiName);
    if (sync.PrStore.LastSeen && sync.PrStore.LastSeen->size() == prstore::Size)
        DecodePrStore(*sync.PrStore.LastSeen, settings);
    if (sync.PrStoreInbox.LastSeen && sync.PrStoreInbox.LastSeen->size() == prinbox::Size)
        DecodePrStoreInbox(*sync.PrStoreInbox.LastSeen, true, settings);
    if (sync.PrExcel.LastSeen && sync.PrExcel.LastSeen->size() == prexcel::Size)
        DecodePrExcel(*sync.PrExcel.LastSeen, settings);
    TakeBase(settings, sync);
}

// A fixed record shorter than its own size is a file cut short: the file
// counts as damaged rather than its missing fields being read as zeros. The
// older, shorter "PrStoreInbox" stays readable; a longer value is not read
// and leaves its fields as they are.
platform::RegValueCheck RecordLengthCheck(std::size_t size, std::size_t olderSize = 0)
{
    return [size, olderSize](std::span<const BYTE> data) -> std::optional<std::string> {
        if (data.size() >= size || (olderSize != 0 && data.size() == olderSize))
            return std::nullopt;
        return "a value of " + std::to_string(data.size()) + " bytes where " + std::to_string(size)
            + " belong";
    };
}

std::optional<std::string> CheckMapiBlob(std::span<const BYTE> data)
{
    if (data.empty())
        return std::nullopt;
    platform::ByteCursor record(data);
    auto store = record.ReadAt<std::int16_t>(prmapi::StoreLength);
    auto folder = record.ReadAt<std::int16_t>(prmapi::FolderLength);
    if (store && folder && *store >= 0 && *folder >= 0
        && data.size() == prmapi::FixedBytes + static_cast<std::size_t>(*store) + static_cast<std::size_t>(*folder))
        return std::nullopt;
    return "a value of " + std::to_string(data.size()) + " bytes that its lengths do not add up to";
}

void SetRecordChecks()
{
    platform::RegSetValueCheckW(kSettingsKey, kPrStoreName, RecordLengthCheck(prstore::Size));
    platform::RegSetValueCheckW(
        kSettingsKey, kPrStoreInboxName, RecordLengthCheck(prinbox::Size, kOlderPrStoreInboxSize));
    platform::RegSetValueCheckW(kSettingsKey, kPrExcelName, RecordLengthCheck(prexcel::Size));
    platform::RegSetValueCheckW(kSettingsKey, kPrMapiName, CheckMapiBlob);
}

} // namespace

void SetResizeChoice(std::int32_t choice)
{
    auto& settings = Settings();
    for (const auto& scale : kResizeScales) {
        if (scale.Choice == choice) {
            settings.ResizeChoice = choice;
            settings.ScaleNum = scale.Num;
            settings.ScaleDen = scale.Den;
            return;
        }
    }
    settings.ResizeChoice = kResizeChoice100;
    settings.ScaleNum = 1;
    settings.ScaleDen = 1;
}

void LoadSettings()
{
    SetRecordChecks();
    auto& settings = Settings();
    auto& sync = Sync();
    sync = StoreSync {};
    HKEY key = nullptr;
    if (platform::RegOpenKeyExW(platform::HKEY_LOCAL_MACHINE, kSettingsKey, 0, platform::KEY_READ, &key)
        != platform::ERROR_SUCCESS) {
        TakeBase(settings, sync);
        return;
    }
    LoadPrStore(key, settings, sync.PrStore);
    LoadPrStoreInbox(key, settings, sync.PrStoreInbox);
    LoadPrExcel(key, settings, sync.PrExcel);
    LoadPrMapi(key, settings, sync.PrMapi);
    platform::RegCloseKey(key);
    TakeBase(settings, sync);
}

void SaveSettings()
{
    HKEY key = nullptr;
    if (platform::RegCreateKeyExW(platform::HKEY_LOCAL_MACHINE, kSettingsKey, 0, nullptr,
            platform::REG_OPTION_NON_VOLATILE, platform::KEY_ALL_ACCESS, nullptr, &key, nullptr)
        != platform::ERROR_SUCCESS)
        return;
    auto& settings = Settings();
    auto& sync = Sync();
    // Each merge runs under the file's lock with the value the file holds
    // then; it sees copies of this copy's records, never the live settings.
    WriteMerged(key, kPrStoreName,
        [mine = EncodePrStore(settings), record = sync.PrStore](const Bytes* stored) {
            return MergeRecord(stored, mine, record, kPrStoreFields);
        });
    WriteMerged(key, kPrStoreInboxName,
        [mine = EncodePrStoreInbox(settings), record = sync.PrStoreInbox](const Bytes* stored) {
            return MergeRecord(stored, mine, record, kPrStoreInboxFields);
        });
    WriteMerged(key, kPrExcelName,
        [mine = EncodePrExcel(settings), record = sync.PrExcel](const Bytes* stored) {
            return MergeRecord(stored, mine, record, kPrExcelFields);
        });
    WriteMerged(key, kPrMapiName, [mine = EncodePrMapi(settings), record = sync.PrMapi](const Bytes* stored) {
        return MergeBlob(stored, mine, record);
    });
    if (platform::RegCloseKey(key) != platform::ERROR_SUCCESS)
        return; // the edits stay this copy's own until a save succeeds
    HKEY saved = nullptr;
    if (platform::RegOpenKeyExW(platform::HKEY_LOCAL_MACHINE, kSettingsKey, 0, platform::KEY_READ, &saved)
        != platform::ERROR_SUCCESS)
        return;
    TakeSaved(saved, settings, sync);
    platform::RegCloseKey(saved);
}

} // namespace core
