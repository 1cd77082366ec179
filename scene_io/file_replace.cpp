// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// Plain POSIX calls throughout: every write, sync and close is checked here, where a buffered file
// class could lose a failure in its final flush, and names stay bytes.
#include "scene_io/file_replace.h"

#include "scene_io/scene_errors.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <optional>
#include <sys/random.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rs {

namespace {

constexpr int kMaxLinkHops = 40; // as the kernel allows
// The target's name is shortened in the temporary file's name, so the suffix never makes it too long.
constexpr std::size_t kTemporaryBaseBytes = 200;

[[noreturn]] void cannotCreate(const std::string& name) {
    throw EFCreateError(cannotCreateMessage(name));
}

[[noreturn]] void writeFailed() {
    throw EWriteError(kWriteErrorMessage);
}

// Every byte, through interrupted and short writes: the count written, or -1.
std::int64_t writeAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n == 0 || errno != EINTR) {
            return -1;
        }
    }
    return static_cast<std::int64_t>(done);
}

bool writeThrough(int fd, std::string_view bytes, const SceneBlockWriter& blockWriter) {
    const SceneWriteFn write = [fd](std::string_view b) { return writeAll(fd, b); };
    const std::int64_t written = blockWriter ? blockWriter(bytes, write) : write(bytes);
    return written == static_cast<std::int64_t>(bytes.size());
}

// Linux releases the descriptor even when close reports EINTR.
bool closeChecked(int fd) {
    return ::close(fd) == 0 || errno == EINTR;
}

std::string folderOf(const std::string& name) {
    const std::size_t slash = name.rfind('/');
    return slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
}

// Where a chain of links ends, link by link, so a link to a name that does not exist yet still leads
// to where the file is to be made. Nothing when the chain cannot be followed.
std::optional<std::string> linkTarget(std::string name) {
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat st {};
        if (::lstat(name.c_str(), &st) != 0) {
            if (errno == ENOENT) return name;
            return std::nullopt;
        }
        if (!S_ISLNK(st.st_mode)) return name;
        std::array<char, PATH_MAX> link{};
        const ssize_t n = ::readlink(name.c_str(), link.data(), link.size());
        if (n <= 0 || static_cast<std::size_t>(n) == link.size()) return std::nullopt;
        const std::string to(link.data(), static_cast<std::size_t>(n));
        name = to[0] == '/' ? to : folderOf(name) + to;
    }
    return std::nullopt;
}

std::string randomSuffix() {
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::array<unsigned char, 6> noise{};
    if (::getrandom(noise.data(), noise.size(), GRND_NONBLOCK) != static_cast<ssize_t>(noise.size())) {
        // Only uniqueness matters (O_EXCL guards the rest), so the clock will do.
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME, &now);
        auto mix = static_cast<unsigned long>(now.tv_nsec) ^ (static_cast<unsigned long>(::getpid()) << 20);
        for (unsigned char& byte : noise) {
            byte = static_cast<unsigned char>(mix);
            mix = mix * 6364136223846793005ul + 1442695040888963407ul;
        }
    }
    std::string suffix;
    for (unsigned char byte : noise) {
        suffix += kLetters[byte % (sizeof kLetters - 1)];
    }
    return suffix;
}

struct Temporary {
    int fd;
    std::string path;
};

// A new file beside target, made with 0666 so the umask shapes a new file's mode as a plain create
// would. Nothing, with errno set, when the folder takes no new file.
std::optional<Temporary> createBeside(const std::string& target) {
    const std::string folder = folderOf(target);
    const std::string base = target.substr(folder.size(), kTemporaryBaseBytes);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string path = folder + base + "." + randomSuffix();
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd >= 0) return Temporary{fd, std::move(path)};
        if (errno != EEXIST) return std::nullopt;
    }
    return std::nullopt;
}

// The rename is only lasting once the folder is synced; the file is in place either way, so a failure
// here changes nothing the user could act on.
void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Two signals come with failures that are reported as write errors: SIGPIPE when a FIFO's reader goes
// away (write fails with EPIPE), and SIGXFSZ when a file would outgrow the process's file-size limit
// (write, fallocate or ftruncate fail with EFBIG). Either would end the program, and a temporary file
// would be left behind, or a file rewritten in place would be left half new. They are held back while
// this file writes, and any raised meanwhile is dropped.
class WriteSignalsHeld {
  public:
    WriteSignalsHeld() {
        sigemptyset(&held_);
        sigaddset(&held_, SIGPIPE);
        sigaddset(&held_, SIGXFSZ);
        sigset_t pending;
        sigemptyset(&pending);
        sigpending(&pending);
        for (const int signal : {SIGPIPE, SIGXFSZ}) {
            // One already pending before is someone else's, and stays.
            if (sigismember(&pending, signal) == 1) sigdelset(&held_, signal);
        }
        active_ = pthread_sigmask(SIG_BLOCK, &held_, &old_) == 0;
    }
    ~WriteSignalsHeld() {
        if (!active_) return;
        const timespec none{};
        while (sigtimedwait(&held_, nullptr, &none) > 0) {
        }
        pthread_sigmask(SIG_SETMASK, &old_, nullptr);
    }
    WriteSignalsHeld(const WriteSignalsHeld&) = delete;
    WriteSignalsHeld& operator=(const WriteSignalsHeld&) = delete;

  private:
    sigset_t held_;
    sigset_t old_;
    bool active_ = false;
};

// Whether a file of `size` bytes stays within the process's file-size limit.
bool withinSizeLimit(std::int64_t size) {
    rlimit limit{};
    return ::getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY ||
           static_cast<std::uint64_t>(size) <= static_cast<std::uint64_t>(limit.rlim_cur);
}

std::int64_t readAt(int fd, std::string& into, off_t at) {
    std::size_t done = 0;
    while (done < into.size()) {
        const ssize_t n = ::pread(fd, into.data() + done, into.size() - done, at + static_cast<off_t>(done));
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n == 0 || errno != EINTR) {
            return -1;
        }
    }
    return static_cast<std::int64_t>(done);
}

bool writeAt(int fd, std::string_view bytes, off_t at) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::pwrite(fd, bytes.data() + done, bytes.size() - done, at + static_cast<off_t>(done));
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n == 0 || errno != EINTR) {
            return false;
        }
    }
    return true;
}

bool isFullDisk(int errorNumber) {
    return errorNumber == ENOSPC || errorNumber == EDQUOT || errorNumber == EFBIG;
}

} // namespace

FileReplacement::FileReplacement(const std::string& name, SceneBlockWriter blockWriter)
    : name_(name), blockWriter_(std::move(blockWriter)) {
    if (name.empty()) cannotCreate(name);
    struct stat st {};
    exists_ = ::stat(name.c_str(), &st) == 0;
    if (exists_) {
        if (S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode)) {
            // Written as a plain write would, except that a FIFO without a reader fails (ENXIO) instead
            // of hanging the window until one comes.
            kind_ = Kind::Stream;
            fd_ = ::open(name.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
            if (fd_ < 0) cannotCreate(name);
            const int flags = ::fcntl(fd_, F_GETFL);
            if (flags < 0 || ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK) != 0) fail();
            return;
        }
        if (!S_ISREG(st.st_mode)) cannotCreate(name);
        // A file its mode keeps from being written is not replaced, though its folder would allow it;
        // one without any write permission is read-only for everybody, root included.
        if ((st.st_mode & 0222) == 0 || ::faccessat(AT_FDCWD, name.c_str(), W_OK, AT_EACCESS) != 0) {
            cannotCreate(name);
        }
        mode_ = st.st_mode & 07777;
        owner_ = st.st_uid;
        group_ = st.st_gid;
    } else if (errno != ENOENT) {
        cannotCreate(name);
    }
    const std::optional<std::string> target = linkTarget(name);
    if (!target) cannotCreate(name);
    target_ = *target;

    std::optional<Temporary> temporary = createBeside(target_);
    if (temporary) {
        fd_ = temporary->fd;
        temporary_ = std::move(temporary->path);
        return;
    }
    const int reason = errno;
    if (!exists_ || !(reason == EACCES || reason == EPERM || isFullDisk(reason))) cannotCreate(name);
    // An existing regular file in a folder that takes no new name, rewritten where it stands.
    kind_ = Kind::InPlace;
    fd_ = ::open(target_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0 && errno == EACCES) {
        canRestore_ = false; // writable but not readable: the old bytes cannot be kept aside
        fd_ = ::open(target_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    }
    if (fd_ < 0) cannotCreate(name);
    struct stat old {};
    if (::fstat(fd_, &old) != 0) fail();
    oldSize_ = old.st_size;
}

FileReplacement::~FileReplacement() {
    if (fd_ >= 0) undo();
}

void FileReplacement::write(std::string_view bytes) {
    if (fd_ < 0) writeFailed();
    const WriteSignalsHeld quiet;
    if (kind_ == Kind::InPlace) {
        const auto at = static_cast<off_t>(written_);
        const auto size = static_cast<off_t>(bytes.size());
        // What would not fit is not begun: the old bytes stay where they are.
        if (!withinSizeLimit(written_ + size)) fail();
        // Room reserved first: on a full disk this fails before a single old byte is overwritten. File
        // systems that cannot reserve go on and rely on putting the old bytes back.
        if (size > 0 && ::fallocate(fd_, FALLOC_FL_KEEP_SIZE, at, size) != 0 && isFullDisk(errno)) fail();
        // Only the bytes about to be overwritten are needed to undo the writing.
        if (canRestore_ && at < oldSize_) {
            std::string old(static_cast<std::size_t>(std::min<std::int64_t>(oldSize_ - at, size)), '\0');
            canRestore_ = readAt(fd_, old, at) == static_cast<std::int64_t>(old.size());
            overwritten_ += old;
        }
    }
    if (!writeThrough(fd_, bytes, blockWriter_)) fail();
    written_ += static_cast<std::int64_t>(bytes.size());
}

void FileReplacement::commit() {
    if (fd_ < 0) writeFailed();
    const WriteSignalsHeld quiet;
    const int fd = fd_;
    switch (kind_) {
    case Kind::Stream: {
        fd_ = -1;
        if (!closeChecked(fd)) writeFailed();
        return;
    }
    case Kind::InPlace: {
        // The old tail is cut off only once the new bytes are on the disk, so up to then the old file
        // can be put back whole.
        if (::fsync(fd) != 0 || ::ftruncate(fd, static_cast<off_t>(written_)) != 0) fail();
        fd_ = -1;
        bool ok = ::fsync(fd) == 0;
        ok = closeChecked(fd) && ok;
        if (!ok) writeFailed();
        return;
    }
    case Kind::Temporary: {
        bool ok = true;
        if (exists_) {
            // Ownership where allowed (root saving a user's file), then the mode, which a change of owner
            // may have cut back.
            [[maybe_unused]] const int owned = ::fchown(fd, owner_, group_);
            ok = ::fchmod(fd, mode_) == 0;
        }
        ok = ok && ::fsync(fd) == 0;
        fd_ = -1;
        ok = closeChecked(fd) && ok;
        ok = ok && ::rename(temporary_.c_str(), target_.c_str()) == 0;
        if (!ok) {
            ::unlink(temporary_.c_str());
            writeFailed();
        }
        syncFolder(folderOf(target_));
        return;
    }
    }
}

void FileReplacement::fail() {
    undo();
    writeFailed();
}

void FileReplacement::undo() noexcept {
    if (fd_ < 0) return;
    const WriteSignalsHeld quiet;
    const int fd = fd_;
    fd_ = -1;
    if (kind_ == Kind::InPlace && canRestore_ && writeAt(fd, overwritten_, 0) &&
        ::ftruncate(fd, static_cast<off_t>(oldSize_)) == 0) {
        ::fsync(fd);
    }
    closeChecked(fd);
    if (kind_ == Kind::Temporary) ::unlink(temporary_.c_str());
}

void replaceFileContents(const std::string& name, std::string_view bytes,
                         const SceneBlockWriter& blockWriter) {
    FileReplacement file(name, blockWriter);
    file.write(bytes);
    file.commit();
}

} // namespace rs
