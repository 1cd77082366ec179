// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// The one way the program writes a file: the new content replaces the old as a whole, and any failure
// up to the last sync and rename is reported, with the old file left as it was.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace rs {

// Writes bytes to the file being written; returns how many were written, or -1.
using SceneWriteFn = std::function<std::int64_t(std::string_view bytes)>;

// Hands the content to the file. The default passes it straight to `write`; tests substitute one that
// stops short, as a full disk does.
using SceneBlockWriter = std::function<std::int64_t(std::string_view block, const SceneWriteFn& write)>;

// Makes `bytes` the whole content of the file named fileNameBytes: the name's bytes as the file system
// takes them, whatever their encoding. Symbolic links are followed to their target.
// - A regular file, or a new name: the content goes to a temporary file beside the target, is synced,
//   gets the old file's mode (a new file 0666 less the umask) and is renamed over the target. On any
//   failure the temporary file is removed and the old file keeps every byte and its mode.
// - A regular file in a folder that takes no new name (no permission, no free inode) is rewritten in
//   place: its room is reserved first, and if the writing fails anyway its old bytes are put back.
// - A FIFO or a character device is written as it stands (saving to /dev/null succeeds and leaves it a
//   device). A FIFO that nobody reads fails to open rather than wait for a reader.
// - Anything else of that name (a folder, a block device, a socket) is refused and left alone.
// Throws EFCreateError (the name shown decoded) when the file cannot be opened or created, and
// EWriteError when any write, the sync or the final rename fails.
void replaceFileContents(const std::string& fileNameBytes, std::string_view bytes,
                         const SceneBlockWriter& blockWriter = {});

// The same, for content that comes piece by piece: the file is opened (or the temporary file made) on
// construction, each write adds to it, and commit() puts it in place. Until then, and when anything
// fails, the old file is as it was; an object destroyed without commit() removes what it made and puts
// back any old bytes it overwrote. Memory does not grow with the content (the in-place case keeps the
// old bytes it overwrites, at most the old file's size).
class FileReplacement {
  public:
    explicit FileReplacement(const std::string& fileNameBytes, SceneBlockWriter blockWriter = {});
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    void write(std::string_view bytes);
    void commit();

  private:
    enum class Kind { Temporary, InPlace, Stream };
    void fail();
    void undo() noexcept;

    std::string name_;   // as given, for messages
    std::string target_; // where the content goes, links followed
    SceneBlockWriter blockWriter_;
    Kind kind_ = Kind::Temporary;
    int fd_ = -1;
    bool exists_ = false;
    unsigned mode_ = 0;
    unsigned owner_ = 0;
    unsigned group_ = 0;
    std::string temporary_;
    // In place: how long the old file was, whether its bytes can be read back, and those overwritten.
    std::int64_t oldSize_ = 0;
    bool canRestore_ = true;
    std::string overwritten_;
    std::int64_t written_ = 0;
};

} // namespace rs
