// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "scene_io/scene_line_reader.h"

#include "scene_io/scene_errors.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rs {

namespace {

[[noreturn]] void throwInOut(int errorNumber, const std::string& fileName) {
    throw EInOutError(inOutErrorMessage(errorNumber, fileName), errorNumber);
}

} // namespace

SceneLineReader::SceneLineReader(const std::string& fileName) : fileName_(fileName), buffer_(kChunkBytes) {
    // O_NONBLOCK only for the open itself: a FIFO without a writer would otherwise hang the window.
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) throwInOut(errno, fileName_);
    struct stat st {};
    int failure = 0;
    if (::fstat(fd, &st) != 0) {
        failure = errno;
    } else if (S_ISDIR(st.st_mode)) {
        failure = EISDIR; // a folder opens fine on Linux but can never be read as a file
    } else {
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) failure = errno;
    }
    if (failure != 0) {
        ::close(fd);
        throwInOut(failure, fileName_);
    }
    fd_ = fd;
}

SceneLineReader::SceneLineReader(int fd, std::size_t chunkBytes)
    : fd_(fd), buffer_(chunkBytes > 0 ? chunkBytes : 1) {}

SceneLineReader::~SceneLineReader() {
    close();
}

void SceneLineReader::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    ended_ = true;
}

bool SceneLineReader::fill() {
    for (;;) {
        const ssize_t n = ::read(fd_, buffer_.data(), buffer_.size());
        if (n > 0) {
            pos_ = 0;
            end_ = static_cast<std::size_t>(n);
            return true;
        }
        if (n == 0) return false;
        if (errno != EINTR) throwInOut(errno, fileName_);
    }
}

SceneLine SceneLineReader::readLine() {
    SceneLine line;
    while (!ended_) {
        if (pos_ == end_ && !fill()) {
            ended_ = true;
            break;
        }
        while (pos_ < end_) {
            const char c = buffer_[pos_];
            if (c == '\x1A') {
                ended_ = true; // nothing at or after it is read
                return line;
            }
            ++pos_;
            if (c == '\n') return line;
            if (c != '\r') line.push(c);
        }
    }
    return line;
}

} // namespace rs
