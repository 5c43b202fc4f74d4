#include "FileMapping.h"

#include "FilePath.h"

#include <fcntl.h>
#include <map>
#include <memory>
#include <mutex>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// Views start at multiples of this, as the document readers expect.
constexpr std::uint64_t kAllocationGranularity = 65536;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd)
        : m_fd(fd)
    {
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    int Get() const { return m_fd; }

private:
    int m_fd;
};

enum class ObjectKind { File, Mapping };

// A mapping shares the descriptor of its file, so the file handle may be
// closed while the mapping stays usable.
struct HandleObject {
    ObjectKind kind;
    std::shared_ptr<const FileDescriptor> descriptor;
    std::uint64_t mappingSize = 0;
};

struct HandleTable {
    std::mutex lock;
    std::map<const void*, std::unique_ptr<HandleObject>> handles;
    std::map<const void*, std::size_t> views;
};

HandleTable& Table()
{
    static HandleTable table;
    return table;
}

// The object behind a handle of the given kind; the caller holds the lock.
HandleObject* Find(HandleTable& table, HANDLE handle, ObjectKind kind)
{
    auto found = table.handles.find(handle);
    if (found == table.handles.end() || found->second->kind != kind)
        return nullptr;
    return found->second.get();
}

HANDLE Register(HandleTable& table, std::unique_ptr<HandleObject> object)
{
    HANDLE handle = object.get();
    table.handles.emplace(handle, std::move(object));
    return handle;
}

std::uint64_t Combine(DWORD high, DWORD low)
{
    return (std::uint64_t { high } << 32) | low;
}

} // namespace

HANDLE CreateFileForMappingW(const char16_t* fileName, DWORD desiredAccess, DWORD shareMode, void* security,
    DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile)
{
    if (fileName == nullptr)
        return INVALID_HANDLE_VALUE;
    std::optional<std::string> path = FileSystemPath(fileName);
    if (!path || desiredAccess != GENERIC_READ || creationDisposition != OPEN_EXISTING)
        return INVALID_HANDLE_VALUE;
    // Non-blocking, so that opening a FIFO by mistake cannot hang.
    auto descriptor
        = std::make_shared<const FileDescriptor>(open(path->c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat status = {};
    if (descriptor->Get() < 0 || fstat(descriptor->Get(), &status) != 0 || !S_ISREG(status.st_mode))
        return INVALID_HANDLE_VALUE;
    auto object = std::make_unique<HandleObject>();
    object->kind = ObjectKind::File;
    object->descriptor = std::move(descriptor);
    HandleTable& table = Table();
    std::lock_guard guard(table.lock);
    return Register(table, std::move(object));
}

DWORD GetFileSize(HANDLE file, DWORD* fileSizeHigh)
{
    HandleTable& table = Table();
    std::lock_guard guard(table.lock);
    HandleObject* object = Find(table, file, ObjectKind::File);
    struct stat status = {};
    if (object == nullptr || fstat(object->descriptor->Get(), &status) != 0)
        return INVALID_FILE_SIZE;
    std::uint64_t size = static_cast<std::uint64_t>(status.st_size);
    if (fileSizeHigh != nullptr)
        *fileSizeHigh = static_cast<DWORD>(size >> 32);
    return static_cast<DWORD>(size & 0xFFFFFFFF);
}

HANDLE CreateFileMappingW(
    HANDLE file, void* security, DWORD protect, DWORD maximumSizeHigh, DWORD maximumSizeLow, const char16_t* name)
{
    if (name != nullptr || protect != PAGE_READONLY)
        return nullptr;
    HandleTable& table = Table();
    std::lock_guard guard(table.lock);
    HandleObject* fileObject = Find(table, file, ObjectKind::File);
    if (fileObject == nullptr)
        return nullptr;
    struct stat status = {};
    if (fstat(fileObject->descriptor->Get(), &status) != 0)
        return nullptr;
    std::uint64_t fileSize = static_cast<std::uint64_t>(status.st_size);
    std::uint64_t size = Combine(maximumSizeHigh, maximumSizeLow);
    if (size == 0)
        size = fileSize;
    if (size == 0 || size > fileSize)
        return nullptr;
    auto object = std::make_unique<HandleObject>();
    object->kind = ObjectKind::Mapping;
    object->descriptor = fileObject->descriptor;
    object->mappingSize = size;
    return Register(table, std::move(object));
}

void* MapViewOfFile(
    HANDLE mapping, DWORD desiredAccess, DWORD fileOffsetHigh, DWORD fileOffsetLow, std::size_t bytesToMap)
{
    HandleTable& table = Table();
    std::lock_guard guard(table.lock);
    HandleObject* object = Find(table, mapping, ObjectKind::Mapping);
    if (object == nullptr || desiredAccess != FILE_MAP_READ)
        return nullptr;
    std::uint64_t offset = Combine(fileOffsetHigh, fileOffsetLow);
    if (offset % kAllocationGranularity != 0 || offset >= object->mappingSize)
        return nullptr;
    std::uint64_t available = object->mappingSize - offset;
    std::uint64_t length = bytesToMap == 0 ? available : std::uint64_t { bytesToMap };
    if (length > available || length > SIZE_MAX)
        return nullptr;
    // A view read is read whole, and at once: its pages are mapped in one
    // call instead of a fault each.
    void* view = mmap(nullptr, static_cast<std::size_t>(length), PROT_READ, MAP_SHARED | MAP_POPULATE,
        object->descriptor->Get(), static_cast<off_t>(offset));
    if (view == MAP_FAILED)
        return nullptr;
    table.views.emplace(view, static_cast<std::size_t>(length));
    return view;
}

bool UnmapViewOfFile(const void* baseAddress)
{
    HandleTable& table = Table();
    std::lock_guard guard(table.lock);
    auto found = table.views.find(baseAddress);
    if (found == table.views.end())
        return false;
    munmap(const_cast<void*>(found->first), found->second);
    table.views.erase(found);
    return true;
}

bool CloseHandle(HANDLE handle)
{
    HandleTable& table = Table();
    std::lock_guard guard(table.lock);
    return table.handles.erase(handle) == 1;
}

} // namespace platform
