#include "OutputFile.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plotwise {
namespace {

constexpr size_t kMaximumFileNameBytes = 120;
constexpr int kMaximumNumberedCopies = 9999;

std::string DirectoryOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string Numbered(const std::string& path, int number)
{
    size_t slash = path.rfind('/');
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        dot = path.size();
    return path.substr(0, dot) + " (" + std::to_string(number) + ")" + path.substr(dot);
}

// The temporary files an interrupt (Ctrl-C, a caller's kill or timeout, a
// closed terminal) must not leave behind. The handler may only do what is
// safe in a signal handler: it reads fixed slots, unlinks their paths, and
// hands the signal on to the handler that was there before, or to the
// default action, so the program still ends as it means to.
constexpr int kTemporarySlots = 16;
constexpr int kInterrupts[] = { SIGINT, SIGTERM, SIGHUP };

struct TemporarySlot {
    std::atomic<bool> Used { false };
    char Path[PATH_MAX] = {};
};

TemporarySlot temporarySlots[kTemporarySlots];
struct sigaction previousActions[std::size(kInterrupts)];
std::atomic<bool> interruptsWatched { false };

void RemoveTemporaryFiles(int signal, siginfo_t* info, void* context)
{
    for (TemporarySlot& slot : temporarySlots) {
        if (slot.Used.load())
            unlink(slot.Path);
    }
    for (size_t i = 0; i < std::size(kInterrupts); ++i) {
        if (kInterrupts[i] != signal)
            continue;
        const struct sigaction& before = previousActions[i];
        if (before.sa_flags & SA_SIGINFO) {
            before.sa_sigaction(signal, info, context);
        } else if (before.sa_handler == SIG_DFL) {
            sigaction(signal, &before, nullptr);
            raise(signal);
        } else if (before.sa_handler != SIG_IGN) {
            before.sa_handler(signal);
        }
    }
}

void WatchInterrupts()
{
    if (interruptsWatched.exchange(true))
        return;
    for (size_t i = 0; i < std::size(kInterrupts); ++i) {
        struct sigaction before { };
        if (sigaction(kInterrupts[i], nullptr, &before) != 0 || (!(before.sa_flags & SA_SIGINFO) && before.sa_handler == SIG_IGN))
            continue; // an ignored signal (nohup) stays ignored
        previousActions[i] = before;
        struct sigaction action { };
        action.sa_sigaction = RemoveTemporaryFiles;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        sigaction(kInterrupts[i], &action, nullptr);
    }
}

// A slot for path, or -1 when the path is too long or all are taken (the
// file is then only removed by the job's own ending).
int WatchTemporaryFile(const std::string& path)
{
    if (path.size() >= PATH_MAX)
        return -1;
    for (int i = 0; i < kTemporarySlots; ++i) {
        TemporarySlot& slot = temporarySlots[i];
        if (slot.Used.load())
            continue;
        std::memcpy(slot.Path, path.c_str(), path.size() + 1);
        bool expected = false;
        if (slot.Used.compare_exchange_strong(expected, true))
            return i;
    }
    return -1;
}

void ForgetTemporaryFile(int& slot)
{
    if (slot >= 0)
        temporarySlots[slot].Used.store(false);
    slot = -1;
}

} // namespace

std::string CannotWrite(const std::string& path, int error)
{
    return "cannot write " + path + ": " + std::strerror(error);
}

OutputFile::~OutputFile()
{
    Abandon();
}

bool OutputFile::Open(const std::string& path, ExistingFile existing, std::string& error)
{
    Abandon();
    path_ = path;
    existing_ = existing;
    writeFailed_ = false;
    std::string directory = DirectoryOf(path);
    struct stat status { };
    if (stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
        error = CannotWrite(path, EISDIR);
        return false;
    }
    std::string name = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
    std::string pattern = directory + "/." + name + ".XXXXXX";
    // No interrupt may come between making the file and noting it.
    WatchInterrupts();
    sigset_t interrupts;
    sigset_t before;
    sigemptyset(&interrupts);
    for (int signal : kInterrupts)
        sigaddset(&interrupts, signal);
    pthread_sigmask(SIG_BLOCK, &interrupts, &before);
    int descriptor = mkstemp(pattern.data());
    int made = errno;
    if (descriptor >= 0)
        watchSlot_ = WatchTemporaryFile(pattern);
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    if (descriptor < 0) {
        error = CannotWrite(path, made);
        return false;
    }
    fchmod(
        descriptor, 0666 & ~[] {
            mode_t mask = umask(0);
            umask(mask);
            return mask;
        }());
    file_ = fdopen(descriptor, "wb");
    if (!file_) {
        error = CannotWrite(path, errno);
        close(descriptor);
        unlink(pattern.c_str());
        ForgetTemporaryFile(watchSlot_);
        return false;
    }
    temporary_ = pattern;
    return true;
}

bool OutputFile::Write(const void* data, size_t size)
{
    if (!file_ || writeFailed_)
        return false;
    if (size > 0 && std::fwrite(data, 1, size, file_) != size) {
        writeFailed_ = true;
        writeErrno_ = errno ? errno : EIO;
    }
    return !writeFailed_;
}

bool OutputFile::Commit(std::string& error)
{
    if (!file_) {
        error = CannotWrite(path_, EBADF);
        return false;
    }
    bool flushed = std::fflush(file_) == 0 && fsync(fileno(file_)) == 0;
    int flushErrno = errno;
    bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (writeFailed_ || !flushed || !closed) {
        error = CannotWrite(path_, writeFailed_ ? writeErrno_ : (flushErrno ? flushErrno : EIO));
        unlink(temporary_.c_str());
        ForgetTemporaryFile(watchSlot_);
        temporary_.clear();
        return false;
    }
    if (existing_ == ExistingFile::Replace) {
        if (rename(temporary_.c_str(), path_.c_str()) != 0) {
            error = CannotWrite(path_, errno);
            unlink(temporary_.c_str());
            ForgetTemporaryFile(watchSlot_);
        temporary_.clear();
            return false;
        }
        ForgetTemporaryFile(watchSlot_);
        temporary_.clear();
        return true;
    }
    // A hard link never replaces an existing file, so a name taken meanwhile
    // is skipped rather than overwritten.
    std::string candidate = path_;
    for (int number = 2; number <= kMaximumNumberedCopies + 1; ++number) {
        if (link(temporary_.c_str(), candidate.c_str()) == 0) {
            unlink(temporary_.c_str());
            ForgetTemporaryFile(watchSlot_);
        temporary_.clear();
            path_ = candidate;
            return true;
        }
        if (errno != EEXIST)
            break;
        candidate = Numbered(path_, number);
    }
    error = CannotWrite(candidate, errno);
    unlink(temporary_.c_str());
    ForgetTemporaryFile(watchSlot_);
        temporary_.clear();
    return false;
}

void OutputFile::Abandon()
{
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temporary_.empty()) {
        unlink(temporary_.c_str());
        ForgetTemporaryFile(watchSlot_);
        temporary_.clear();
    }
}

std::string FileNameFromTitle(const std::string& title)
{
    std::string name;
    for (char c : title) {
        auto byte = static_cast<unsigned char>(c);
        name += (c == '/' || c == '\\' || byte < 0x20 || byte == 0x7F) ? '_' : c;
    }
    while (!name.empty() && (name.front() == ' ' || name.front() == '.'))
        name.erase(name.begin());
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    if (name.size() > kMaximumFileNameBytes) {
        size_t cut = kMaximumFileNameBytes;
        // Never cut a UTF-8 sequence in two.
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
            --cut;
        name.resize(cut);
    }
    return name.empty() ? "document" : name;
}

bool MakeDirectories(const std::string& path)
{
    if (path.empty())
        return false;
    struct stat status { };
    if (stat(path.c_str(), &status) == 0) {
        if (S_ISDIR(status.st_mode))
            return true;
        errno = ENOTDIR;
        return false;
    }
    size_t slash = path.find_last_of('/', path.size() > 1 ? path.size() - 2 : 0);
    if (slash != std::string::npos && slash > 0 && !MakeDirectories(path.substr(0, slash)))
        return false;
    return mkdir(path.c_str(), 0777) == 0 || errno == EEXIST;
}

} // namespace plotwise
