// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// The LZW image data of one GIF frame in an 8-colour palette (code size 3). The codes are packed here and
// handed to giflib as they are, because giflib's packer must code every pixel as one given index and
// clears its table whenever it fills, which leaves the two-source animation above 2 MB. This packer uses
// freedoms the format leaves an encoder; decoders see an ordinary code stream:
// - a pixel unchanged since the frame before may be coded as its colour or as the frame's transparent
//   index, whichever lets the string of the table go on further;
// - a full table is kept to the frame's end instead of being cleared;
// - once the table is full, so that every code costs the same, a string may stop a pixel early when the
//   one after it then reaches further.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace rs {

class GifLzw {
  public:
    static constexpr int kCodeSize = 3; // the minimum code size written before the data
    static constexpr int kColours = 1 << kCodeSize;

    GifLzw();

    // Packs `count` palette indices (each below kColours, else std::invalid_argument). Where `hideable` is
    // not null and hideable[i] is nonzero, pixel i may be coded as `transparent` instead (a palette index, or
    // -1 for none). The result is the code stream from the clear code to the end code, low bits first, not
    // yet cut into sub-blocks; it stays valid until the next call.
    const std::vector<std::uint8_t>& pack(const std::uint8_t* colours, const std::uint8_t* hideable,
                                          std::size_t count, int transparent);

  private:
    static constexpr int kClear = kColours;
    static constexpr int kEnd = kColours + 1;
    static constexpr int kMaxCodes = 4096; // 12-bit codes
    static constexpr std::uint8_t kNone = 0xFF;
    // How many strings of one length a match follows at most, and by how many pixels a string may be cut
    // short once the table is full. Both bound the time a code takes; larger ones were measured to save
    // under 2 % for up to a third more time.
    static constexpr std::size_t kBeam = 16;
    static constexpr std::size_t kLook = 1;

    // The length of the longest string in the table that the pixels from `at` may be coded as; path_[d - 1]
    // then holds a string of each length d up to it, of the longest the newest.
    std::size_t match(std::size_t at);
    void put(int code);

    const std::uint8_t* colours_ = nullptr; // the pixels of the current pack()
    std::size_t count_ = 0;
    std::vector<std::uint8_t> other_; // the other symbol each pixel may be coded as, or kNone

    std::vector<std::uint16_t> child_; // child_[code * kColours + symbol]: the longer string's code, 0 none
    std::vector<std::uint8_t> first_;  // first_[code]: the string's first symbol
    std::array<std::uint16_t, kBeam + 2> levelA_{}, levelB_{}; // the strings of one length that match
    std::array<std::uint16_t, kMaxCodes> path_{}, aheadPath_{};
    std::vector<std::uint8_t> out_;
    std::uint32_t bits_ = 0; // not yet whole bytes, low bits first
    int bitCount_ = 0;
    int width_ = kCodeSize + 1;
};

} // namespace rs
