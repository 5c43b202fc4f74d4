#include "OpenDocument.h"

#include "AppSettings.h"
#include "DocumentType.h"
#include "FileMapping.h"
#include "Messages.h"
#include "PlainText.h"
#include "PrintWorkbook.h"
#include "RichInk.h"
#include "RtfReader.h"
#include "Source.h"
#include "StringIds.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace shell {
namespace {

constexpr int kRichInkControlId = 101;

bool richInkInitialised = false;
platform::RichInkWindow richInkWindow = nullptr;

// The stream cookie: a reserved word, the buffer's base, the current
// address, the byte limit and a reserved word. A base of 0 only measures.
struct StreamCookie {
    std::uintptr_t Reserved = 0;
    std::uintptr_t Base = 0;
    std::uintptr_t Current = 0;
    std::uintptr_t Limit = 0;
    std::uintptr_t Reserved2 = 0;
};

std::uint32_t ReadFromCookie(std::uintptr_t cookieValue, std::uint8_t* buffer, std::int32_t count, std::int32_t* done)
{
    auto& cookie = *reinterpret_cast<StreamCookie*>(cookieValue);
    std::uintptr_t left = cookie.Base + cookie.Limit - cookie.Current;
    std::uintptr_t take = std::min<std::uintptr_t>(left, count < 0 ? 0 : static_cast<std::uintptr_t>(count));
    std::memcpy(buffer, reinterpret_cast<const void*>(cookie.Current), take);
    cookie.Current += take;
    *done = static_cast<std::int32_t>(take);
    return 0;
}

std::uint32_t WriteToCookie(std::uintptr_t cookieValue, std::uint8_t* buffer, std::int32_t count, std::int32_t* done)
{
    auto& cookie = *reinterpret_cast<StreamCookie*>(cookieValue);
    std::uintptr_t offered = count < 0 ? 0 : static_cast<std::uintptr_t>(count);
    if (cookie.Base == 0) {
        cookie.Current += offered;
        *done = static_cast<std::int32_t>(offered);
        return 0;
    }
    std::uintptr_t left = cookie.Base + cookie.Limit - cookie.Current;
    std::uintptr_t take = std::min(left, offered);
    std::memcpy(reinterpret_cast<void*>(cookie.Current), buffer, take);
    cookie.Current += take;
    *done = static_cast<std::int32_t>(take);
    return 0;
}

// What one call holds, released in every case at the end.
struct OpenFile {
    platform::HANDLE File = platform::INVALID_HANDLE_VALUE;
    platform::HANDLE Mapping = nullptr;
    void* View = nullptr;

    void Release()
    {
        if (View)
            platform::UnmapViewOfFile(View);
        if (Mapping)
            platform::CloseHandle(Mapping);
        if (File != platform::INVALID_HANDLE_VALUE)
            platform::CloseHandle(File);
        View = nullptr;
        Mapping = nullptr;
        File = platform::INVALID_HANDLE_VALUE;
    }
};

// The file the converter refused, printed as it is: UTF-16 after a
// little-endian byte-order mark, else one character per byte.
void PrintRawFile(const std::uint8_t* bytes, std::int32_t size)
{
    if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE)
        PrintPlainText(bytes + 2, size - 2, PlainTextEncoding::Utf16);
    else
        PrintPlainText(bytes, size, PlainTextEncoding::EightBit);
}

// Measures the converted document, then fills SourceData with it. False
// when the converter could not give it or there is no memory for it.
bool StreamOutToSource(std::uintptr_t format)
{
    StreamCookie measure;
    platform::EDITSTREAM stream { reinterpret_cast<std::uintptr_t>(&measure), 0, WriteToCookie };
    platform::SendMessageW(richInkWindow, platform::EM_STREAMOUT, format, &stream);
    std::uintptr_t length = measure.Current - measure.Base;
    if (stream.dwError != 0 || length > static_cast<std::uintptr_t>(std::numeric_limits<std::int32_t>::max()))
        return false;
    if (!rtf::AllocateSourceData(static_cast<std::int32_t>(length)))
        return false;
    auto base = reinterpret_cast<std::uintptr_t>(rtf::SourceData);
    StreamCookie fill { 0, base, base, length, 0 };
    stream = { reinterpret_cast<std::uintptr_t>(&fill), 0, WriteToCookie };
    platform::SendMessageW(richInkWindow, platform::EM_STREAMOUT, format, &stream);
    return true;
}

// The largest document printed: its text, converted, must stay well within
// memory and the printers' 32-bit lengths.
constexpr platform::DWORD kMaxDocumentBytes = 256u * 1024 * 1024;

// What ConvertAndPrint gives for a workbook named as a document.
constexpr int kIsWorkbook = -1;

int Fail(unsigned messageId, const char16_t* path)
{
    core::HideBusyCursor();
    if (messageId == platform::kStrFileOpenFailed)
        core::ShowFileMessage(messageId, path);
    else
        core::ShowMessageIdWithText(messageId, core::PathAsWritten(path).c_str());
    return 0;
}

int ConvertAndPrint(OpenFile& file, const char16_t* path)
{
    file.File = platform::CreateFileForMappingW(path, platform::GENERIC_READ, 0, nullptr, platform::OPEN_EXISTING,
        platform::FILE_ATTRIBUTE_NORMAL | platform::FILE_FLAG_RANDOM_ACCESS, nullptr);
    if (file.File == platform::INVALID_HANDLE_VALUE)
        return Fail(platform::kStrFileOpenFailed, path);

    platform::DWORD sizeHigh = 0;
    platform::DWORD size = platform::GetFileSize(file.File, &sizeHigh);
    // A length must fit the signed 32-bit lengths of the printers.
    if (size == platform::INVALID_FILE_SIZE || sizeHigh != 0
        || size > static_cast<platform::DWORD>(std::numeric_limits<std::int32_t>::max()))
        return Fail(platform::kStrInvalidFileType, path);
    if (size > kMaxDocumentBytes)
        return Fail(platform::kStrFileTooLarge, path);
    file.Mapping = platform::CreateFileMappingW(file.File, nullptr, platform::PAGE_READONLY, 0, 0, nullptr);
    if (file.Mapping)
        file.View = platform::MapViewOfFile(file.Mapping, platform::FILE_MAP_READ, 0, 0, 0);
    if (!file.View)
        return Fail(platform::kStrInvalidFileType, path);

    const auto* bytes = static_cast<const std::uint8_t*>(file.View);
    DocumentType type = DetectDocumentType(bytes, size);
    if (type == DocumentType::Other && LooksLikeWorkbook(bytes, size))
        return kIsWorkbook;
    if (type == DocumentType::Other)
        core::Options().PlainTextOnce = 1;

    auto view = reinterpret_cast<std::uintptr_t>(file.View);
    StreamCookie cookie { 0, view, view, size, 0 };
    platform::EDITSTREAM stream { reinterpret_cast<std::uintptr_t>(&cookie), 0, ReadFromCookie };
    if (platform::SendMessageW(richInkWindow, platform::EM_STREAMIN, StreamInFormat(type), &stream) != 0) {
        if (IsBinaryFile(bytes, size))
            return Fail(platform::kStrInvalidFileType, path);
        PrintRawFile(bytes, static_cast<std::int32_t>(size));
        return 1;
    }

    file.Release();
    bool plainText = core::Settings().PlainText || core::Options().PlainTextOnce;
    std::uintptr_t format = plainText ? platform::SF_UNICODE_TEXT : platform::SF_RTF;
    if (!StreamOutToSource(format))
        return Fail(platform::kStrInvalidFileType, path);
    if (plainText)
        PrintPlainText(rtf::SourceData, rtf::SourceLength, PlainTextEncoding::Utf16);
    else
        rtf::RtfPrintDocument();
    rtf::ReleaseSourceData();
    return 1;
}

} // namespace

int OpenAndPrintDocument(platform::WindowHandle parent, platform::ModuleHandle module, const char16_t* path)
{
    core::ShowBusyCursor();
    if (!richInkInitialised) {
        platform::InitRichInkDLL();
        richInkInitialised = true;
    }
    if (!richInkWindow)
        richInkWindow = platform::CreateRichInkWindow(parent, kRichInkControlId, module);

    OpenFile file;
    int result = ConvertAndPrint(file, path);

    core::Options().PlainTextOnce = 0;
    file.Release();
    rtf::ReleaseSourceData();
    platform::DestroyWindow(richInkWindow);
    richInkWindow = nullptr;
    core::HideBusyCursor();
    // A workbook named as a document prints as the workbook it is.
    if (result == kIsWorkbook)
        return spreadsheet::PrintWorkbook(parent, module, path);
    return result;
}

} // namespace shell
