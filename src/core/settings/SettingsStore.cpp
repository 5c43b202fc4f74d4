#include "SettingsStore.h"

#include "AppSettings.h"
#include "ByteCursor.h"
#include "ByteWriter.h"
#include "Registry.h"

#include <array>
#include <cstring>
#include <limits>
#include <optional>
#include <span>
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

// Reads one fixed-size value into a zero-filled buffer of its size and gives
// the number of bytes read; nothing when the value is missing or larger than
// the buffer, and the fields keep their values then. Bytes that a shorter
// value lacks read as 0.
std::optional<std::size_t> ReadRecord(HKEY key, const char16_t* name, std::span<std::uint8_t> buffer)
{
    auto size = static_cast<DWORD>(buffer.size());
    if (platform::RegQueryValueExW(key, name, nullptr, nullptr, buffer.data(), &size) != platform::ERROR_SUCCESS)
        return std::nullopt;
    return size;
}

void WriteRecord(HKEY key, const char16_t* name, std::span<const std::uint8_t> record)
{
    platform::RegSetValueExW(key, name, 0, platform::REG_BINARY, record.data(), static_cast<DWORD>(record.size()));
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

void LoadPrStore(HKEY key, AppSettings& settings)
{
    std::array<std::uint8_t, prstore::Size> buffer {};
    if (!ReadRecord(key, kPrStoreName, buffer))
        return;
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

void LoadPrStoreInbox(HKEY key, AppSettings& settings)
{
    std::array<std::uint8_t, prinbox::Size> buffer {};
    auto length = ReadRecord(key, kPrStoreInboxName, buffer);
    if (!length)
        return;
    platform::ByteCursor record(buffer);
    // At process start ViewMode is -1, so the stored list is used unless the
    // command line has already chosen one (it sets ViewMode and StartView to
    // the same value).
    auto& options = Options();
    if (settings.ViewMode != options.StartView)
        options.StartView = record.ReadAt<std::int32_t>(prinbox::ViewMode).value_or(0);
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
    // An older, shorter value has no header order and no reserved word.
    if (*length == prinbox::Size) {
        settings.MailHeaderOrder = record.ReadAt<std::int16_t>(prinbox::MailHeaderOrder).value_or(0);
        settings.InboxReservedWord = record.ReadAt<std::uint32_t>(prinbox::ReservedWord).value_or(0);
    }
}

void LoadPrExcel(HKEY key, AppSettings& settings)
{
    std::array<std::uint8_t, prexcel::Size> buffer {};
    if (!ReadRecord(key, kPrExcelName, buffer))
        return;
    platform::ByteCursor record(buffer);
    settings.SheetGridlines = record.ReadAt<std::int32_t>(prexcel::SheetGridlines).value_or(0);
    settings.SheetHeadings = record.ReadAt<std::int32_t>(prexcel::SheetHeadings).value_or(0);
    settings.SheetBackgroundColors = record.ReadAt<std::int32_t>(prexcel::SheetBackgroundColors).value_or(0);
    settings.SheetSizing = record.ReadAt<std::uint8_t>(prexcel::SheetSizing).value_or(0);
    settings.SheetCenter = record.ReadAt<std::uint8_t>(prexcel::SheetCenter).value_or(0);
    settings.SheetCustomPercent = record.ReadAt<std::int16_t>(prexcel::SheetCustomPercent).value_or(0);
}

// The blob is kept as stored until the e-mail view turns it into the two
// entry identifiers.
void LoadPrMapi(HKEY key, AppSettings& settings)
{
    DWORD length = 0;
    if (platform::RegQueryValueExW(key, kPrMapiName, nullptr, nullptr, nullptr, &length) != platform::ERROR_SUCCESS)
        length = 0;
    auto& blob = settings.MapiBlob;
    if (length == 0) {
        blob.clear();
        blob.shrink_to_fit();
        return;
    }
    if (blob.size() != length)
        blob.assign(length, 0);
    DWORD size = length;
    platform::RegQueryValueExW(key, kPrMapiName, nullptr, nullptr, blob.data(), &size);
}

void SavePrStore(HKEY key, const AppSettings& settings)
{
    std::array<std::uint8_t, prstore::Size> buffer {};
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
    WriteRecord(key, kPrStoreName, buffer);
}

void SavePrStoreInbox(HKEY key, const AppSettings& settings)
{
    std::array<std::uint8_t, prinbox::Size> buffer {};
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
    WriteRecord(key, kPrStoreInboxName, buffer);
}

void SavePrExcel(HKEY key, const AppSettings& settings)
{
    std::array<std::uint8_t, prexcel::Size> buffer {};
    platform::ByteWriter record(buffer);
    record.WriteAt<std::int32_t>(prexcel::SheetGridlines, settings.SheetGridlines);
    record.WriteAt<std::int32_t>(prexcel::SheetHeadings, settings.SheetHeadings);
    record.WriteAt<std::int32_t>(prexcel::SheetBackgroundColors, settings.SheetBackgroundColors);
    record.WriteAt<std::uint8_t>(prexcel::SheetSizing, settings.SheetSizing);
    record.WriteAt<std::uint8_t>(prexcel::SheetCenter, settings.SheetCenter);
    record.WriteAt<std::int16_t>(prexcel::SheetCustomPercent, settings.SheetCustomPercent);
    WriteRecord(key, kPrExcelName, buffer);
}

// The lengths are stored as signed 16-bit numbers: an identifier longer than
// that cannot be stored and counts as none, rather than being cut short.
std::span<const std::uint8_t> StorableEntryId(const std::vector<std::uint8_t>& entryId)
{
    if (entryId.size() > static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max()))
        return {};
    return entryId;
}

void SavePrMapi(HKEY key, AppSettings& settings)
{
    auto& blob = settings.MapiBlob;
    if (!settings.MailEntryIdsTaken && settings.MailStoreEntryId.empty() && settings.MailFolderEntryId.empty()) {
        WriteRecord(key, kPrMapiName, blob);
        return;
    }
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
    WriteRecord(key, kPrMapiName, blob);
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
    HKEY key = nullptr;
    if (platform::RegOpenKeyExW(platform::HKEY_LOCAL_MACHINE, kSettingsKey, 0, platform::KEY_READ, &key)
        != platform::ERROR_SUCCESS)
        return;
    auto& settings = Settings();
    LoadPrStore(key, settings);
    LoadPrStoreInbox(key, settings);
    LoadPrExcel(key, settings);
    LoadPrMapi(key, settings);
    platform::RegCloseKey(key);
}

void SaveSettings()
{
    HKEY key = nullptr;
    if (platform::RegCreateKeyExW(platform::HKEY_LOCAL_MACHINE, kSettingsKey, 0, nullptr,
            platform::REG_OPTION_NON_VOLATILE, platform::KEY_ALL_ACCESS, nullptr, &key, nullptr)
        != platform::ERROR_SUCCESS)
        return;
    auto& settings = Settings();
    SavePrStore(key, settings);
    SavePrStoreInbox(key, settings);
    SavePrExcel(key, settings);
    SavePrMapi(key, settings);
    platform::RegCloseKey(key);
}

} // namespace core
