// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// One line of a scene file as its conversion, its message and its caption need it, in constant memory
// however long the line is.

#include <cstddef>
#include <string>
#include <string_view>

namespace rs {

class SceneLine {
  public:
    // The line's first bytes kept exactly, for messages and captions.
    static constexpr std::size_t kKeptBytes = 64 * 1024;
    // No valid number is longer than about a hundred bytes once shortened, so a shortened text cut
    // here still fails every conversion, as the whole line does.
    static constexpr std::size_t kShortenedBytes = 1024;

    SceneLine() = default;
    // A whole line given at once.
    explicit SceneLine(std::string_view bytes) { append(bytes); }

    // The line's next bytes, in order.
    void append(std::string_view bytes) {
        for (char c : bytes)
            push(c);
    }
    void push(char c);

    // The line's first kKeptBytes bytes, as they were read.
    const std::string& text() const { return text_; }
    // Whether the line went on past text().
    bool cut() const { return cut_; }

    // The line shortened so that every conversion gives what the whole line gives: each run of blanks
    // becomes one blank, and each run of digits keeps at most 16 of its leading zeros and 17 digits
    // after them. A 32-bit number has no more than 10 decimal or 8 hexadecimal digits after its
    // leading zeros, so a longer run still overflows; a zero run stays a zero run and one zero stays
    // one ("0x" is a prefix, "00x" is not). The count of nothing else matters to either grammar.
    const std::string& shortened() const { return shortened_; }

  private:
    std::string text_;
    bool cut_ = false;
    std::string shortened_;
    bool inDigits_ = false;
    std::size_t runZeros_ = 0;  // leading zeros of the current digit run, as kept
    std::size_t runDigits_ = 0; // its digits from the first non-zero one on, as kept
};

} // namespace rs
