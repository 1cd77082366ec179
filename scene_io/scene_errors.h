// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// The errors of scene-file work. Their what() is the exact UTF-8 text the error box shows.

#include <stdexcept>
#include <string>
#include <string_view>

namespace rs {

// Common base, so the window can catch every scene-file error in one place.
class SceneFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A line that does not convert to the value it should hold.
class EConvertError : public SceneFileError {
  public:
    using SceneFileError::SceneFileError;
};

// The operating system refused to open or read a scene file.
class EInOutError : public SceneFileError {
  public:
    EInOutError(std::string message, int errorNumber)
        : SceneFileError(std::move(message)), errorNumber_(errorNumber) {}
    int errorNumber() const { return errorNumber_; }

  private:
    int errorNumber_;
};

// The file could not be created, opened or replaced.
class EFCreateError : public SceneFileError {
  public:
    using SceneFileError::SceneFileError;
};

// Writing the file failed: a write, its sync, or putting the finished file in place.
class EWriteError : public SceneFileError {
  public:
    using SceneFileError::SceneFileError;
};

// The text of a scene line as shown inside a message: the bytes decoded as Shift_JIS (code page 932),
// undecodable bytes shown as U+FFFD, and anything past kMessageTextChars characters replaced by "…".
inline constexpr std::size_t kMessageTextChars = 200;
std::string lineTextForMessage(std::string_view lineBytes);

// The message for an operating-system error number met while opening or reading `path`.
// "File not found" and "path not found" share ENOENT on Linux; a missing folder tells them apart.
std::string inOutErrorMessage(int errorNumber, const std::string& path);

// Builders for the messages that quote a name or a line.
std::string notAnIntegerMessage(std::string_view lineBytes);
std::string notABooleanMessage(std::string_view lineBytes);
// The name is the file's bytes, shown decoded as UTF-8 with what does not decode as U+FFFD.
std::string cannotCreateMessage(std::string_view fileNameBytes);
// A file name's bytes as a message shows them, decoded the same way.
std::string shownFileName(std::string_view fileNameBytes);
inline constexpr const char* kWriteErrorMessage = "ストリームへの書き込みエラー";

// The error box's text for a message (UTF-8): "." appended when the message is not empty and its last
// character compares greater than "." in the Japanese code page. Every non-ASCII character sorts above
// it there, so a message ending in a Japanese character gets the period; one ending in ")" or "." not.
std::string errorBoxText(std::string message);

inline constexpr const char* kOutOfMemoryMessage = "メモリが足りません";

// The message of the exception being handled, UTF-8; running out of memory is told in words. Call only
// inside a catch block.
std::string currentErrorMessage();

} // namespace rs
