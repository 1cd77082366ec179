// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// Reading a scene file line by line. Lines end at LF; every CR is dropped; a 0x1A byte ends the file;
// past the end every line is empty. Bytes are kept as they are, without any character-set conversion.
// A line may be of any length: it is read whole but kept as a SceneLine, so memory stays bounded.

#include "scene_io/scene_line.h"

#include <cstddef>
#include <string>
#include <vector>

namespace rs {

class SceneLineReader {
  public:
    // How many bytes of a line its text keeps; the line is still read and converted whole.
    static constexpr std::size_t kMaxLineBytes = SceneLine::kKeptBytes;
    static constexpr std::size_t kChunkBytes = 64 * 1024;

    // Opens fileName (UTF-8) for reading only. Throws EInOutError when it cannot be opened or is a folder.
    explicit SceneLineReader(const std::string& fileName);
    // Takes over a descriptor already open for reading; chunkBytes is how much each read asks for.
    SceneLineReader(int fd, std::size_t chunkBytes);
    ~SceneLineReader();

    SceneLineReader(const SceneLineReader&) = delete;
    SceneLineReader& operator=(const SceneLineReader&) = delete;

    // The next line without its end. Throws EInOutError when the operating system fails the read.
    SceneLine readLine();

    // Releases the file; later lines read as empty. Safe to call more than once.
    void close();

  private:
    bool fill();

    int fd_ = -1;
    std::string fileName_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool ended_ = false;
};

} // namespace rs
