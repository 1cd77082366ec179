// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// File helpers for the file tests: a private temporary folder, whole-file access, memory files, and a
// small file system of its own that can be filled up.

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <sys/mman.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace rs::test {

class TempFolder {
  public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "sceneio-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

    // Every name in the folder, sorted: shows leftovers such as temporary files.
    std::vector<std::string> names() const {
        std::vector<std::string> result;
        for (const auto& entry : std::filesystem::directory_iterator(path_))
            result.push_back(entry.path().filename().string());
        std::sort(result.begin(), result.end());
        return result;
    }

  private:
    std::filesystem::path path_;
};

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// An anonymous in-memory file holding bytes, read from its start.
inline int memoryFile(const std::string& bytes) {
    const int fd = ::memfd_create("scene", MFD_CLOEXEC);
    if (fd < 0 || ::pwrite(fd, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size()))
        throw std::runtime_error("memfd_create failed");
    return fd;
}

// A tmpfs of a few pages and a few names, mounted in a temporary folder and unmounted on every way out,
// so a case can meet a really full disk. Mounting needs root; mounted() tells whether it worked.
class SmallFileSystem {
  public:
    explicit SmallFileSystem(int kibibytes = 256) : root_(folder_.file("fs")) {
        std::filesystem::create_directory(root_);
        const std::string options = "size=" + std::to_string(kibibytes) + "k,nr_inodes=64,mode=0777";
        mounted_ = ::mount("tmpfs", root_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0;
    }
    ~SmallFileSystem() {
        if (mounted_ && ::umount2(root_.c_str(), 0) != 0) ::umount2(root_.c_str(), MNT_DETACH);
    }
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    bool mounted() const { return mounted_; }
    std::string file(const std::string& name) const { return root_ + "/" + name; }

    // Takes every free page, so that the next byte written anywhere fails with ENOSPC; or all but
    // `leave` bytes' worth of them.
    void fillPages(std::size_t leave = 0) const {
        const int fd = ::open(file(".filler").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        const std::string page(4096, 'f');
        while (fd >= 0 && ::write(fd, page.data(), page.size()) > 0) {
        }
        if (fd >= 0 && leave > 0) {
            struct stat st {};
            ::fstat(fd, &st);
            [[maybe_unused]] const int cut = ::ftruncate(
                fd, std::max<off_t>(0, st.st_size - static_cast<off_t>((leave + 4095) / 4096 * 4096)));
        }
        if (fd >= 0) ::close(fd);
    }
    // Takes every free name as well, so that no file can be created.
    void fillNames() const {
        for (int n = 0;; ++n) {
            const int fd =
                ::open(file(".name" + std::to_string(n)).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
            if (fd < 0) break;
            ::close(fd);
        }
    }
    // The names in the file system that are not the fillers'.
    std::vector<std::string> names() const {
        std::vector<std::string> result;
        for (const auto& entry : std::filesystem::directory_iterator(root_)) {
            const std::string name = entry.path().filename().string();
            if (name[0] != '.') result.push_back(name);
        }
        std::sort(result.begin(), result.end());
        return result;
    }

  private:
    TempFolder folder_;
    std::string root_;
    bool mounted_ = false;
};

inline mode_t modeOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode : 0;
}

} // namespace rs::test
