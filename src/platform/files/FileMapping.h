#pragma once

// Files mapped into memory for reading, with the calling conventions of the
// document readers: handles that are INVALID_HANDLE_VALUE (files) or null
// (mappings) on failure, views that stay valid until UnmapViewOfFile even
// after both handles are closed. Only existing regular files open; a file of
// length zero cannot be mapped.

#include <cstddef>
#include <cstdint>
#include <utility>

namespace platform {

using HANDLE = void*;
using DWORD = std::uint32_t;

inline const HANDLE INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(~std::uintptr_t { 0 });
inline constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFF;

inline constexpr DWORD GENERIC_READ = 0x80000000;
inline constexpr DWORD OPEN_EXISTING = 3;

inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x00000080;
inline constexpr DWORD FILE_FLAG_RANDOM_ACCESS = 0x10000000;

inline constexpr DWORD PAGE_READONLY = 0x02;
inline constexpr DWORD FILE_MAP_READ = 0x04;

// Opens an existing regular file for reading; the name is UTF-16 and a
// backslash separates directories. Sharing, security and attributes are
// accepted and ignored. INVALID_HANDLE_VALUE when the file cannot be opened,
// is not a regular file (a directory, a device), or the access is not
// GENERIC_READ or the disposition not OPEN_EXISTING.
HANDLE CreateFileForMappingW(const char16_t* fileName, DWORD desiredAccess, DWORD shareMode, void* security,
    DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile);

// The size of an open file: the low 32 bits, the high ones in *fileSizeHigh
// when it is given. INVALID_FILE_SIZE for a handle that is not an open file.
DWORD GetFileSize(HANDLE file, DWORD* fileSizeHigh);

// A read-only mapping of `maximumSize` bytes of the file, or of the whole
// file when that is 0. Null when the file is empty, the size exceeds the
// file, the protection is not PAGE_READONLY, or a name is given (named
// mappings are not shared between processes here).
HANDLE CreateFileMappingW(
    HANDLE file, void* security, DWORD protect, DWORD maximumSizeHigh, DWORD maximumSizeLow, const char16_t* name);

// Maps `bytesToMap` bytes from the offset (a multiple of 65536), or the
// rest of the mapping when that is 0, for FILE_MAP_READ. Null on failure.
void* MapViewOfFile(
    HANDLE mapping, DWORD desiredAccess, DWORD fileOffsetHigh, DWORD fileOffsetLow, std::size_t bytesToMap);

// Releases a view; false for an address that is not the start of a view.
bool UnmapViewOfFile(const void* baseAddress);

// Closes a file or mapping handle; false for null, INVALID_HANDLE_VALUE and
// handles that are not open.
bool CloseHandle(HANDLE handle);

// Owns a handle and closes it when it goes out of scope.
class ScopedHandle {
public:
    ScopedHandle() = default;
    explicit ScopedHandle(HANDLE handle)
        : m_handle(handle)
    {
    }
    ScopedHandle(ScopedHandle&& other) noexcept
        : m_handle(std::exchange(other.m_handle, nullptr))
    {
    }
    ScopedHandle& operator=(ScopedHandle&& other) noexcept
    {
        std::swap(m_handle, other.m_handle);
        return *this;
    }
    ~ScopedHandle()
    {
        if (IsValid())
            CloseHandle(m_handle);
    }

    HANDLE Get() const { return m_handle; }
    bool IsValid() const { return m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_handle = nullptr;
};

// Owns a view and unmaps it when it goes out of scope.
class ScopedView {
public:
    ScopedView() = default;
    explicit ScopedView(void* view)
        : m_view(view)
    {
    }
    ScopedView(ScopedView&& other) noexcept
        : m_view(std::exchange(other.m_view, nullptr))
    {
    }
    ScopedView& operator=(ScopedView&& other) noexcept
    {
        std::swap(m_view, other.m_view);
        return *this;
    }
    ~ScopedView()
    {
        if (m_view != nullptr)
            UnmapViewOfFile(m_view);
    }

    void* Get() const { return m_view; }

private:
    void* m_view = nullptr;
};

} // namespace platform
