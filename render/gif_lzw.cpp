// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "render/gif_lzw.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <stdexcept>

namespace rs {

GifLzw::GifLzw() : child_(static_cast<std::size_t>(kMaxCodes) * kColours), first_(kMaxCodes) {
    for (int c = 0; c < kColours; ++c)
        first_[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(c);
}

void GifLzw::put(int code) {
    bits_ |= static_cast<std::uint32_t>(code) << bitCount_;
    bitCount_ += width_;
    while (bitCount_ >= 8) {
        out_.push_back(static_cast<std::uint8_t>(bits_));
        bits_ >>= 8;
        bitCount_ -= 8;
    }
}

std::size_t GifLzw::match(std::size_t at) {
    const std::uint8_t* colours = colours_ + at;
    const std::uint8_t* other = other_.data() + at;
    const std::size_t left = count_ - at;
    const std::uint16_t* child = child_.data();
    std::uint16_t* level = levelA_.data();
    std::uint16_t* next = levelB_.data();
    std::size_t size = 0;
    level[size++] = colours[0];
    if (other[0] != kNone) level[size++] = other[0];
    path_[0] = level[0];
    std::size_t depth = 1;
    for (; depth < left; ++depth) {
        const unsigned colour = colours[depth];
        const unsigned alternative = other[depth];
        std::size_t found = 0;
        if (alternative == kNone) {
            for (std::size_t i = 0; i < size; ++i) {
                const std::uint16_t k = child[level[i] * kColours + colour];
                if (k != 0) next[found++] = k;
            }
        } else {
            for (std::size_t i = 0; i < size && found < kBeam; ++i) {
                const std::uint16_t* kids = child + level[i] * kColours;
                if (kids[colour] != 0) next[found++] = kids[colour];
                if (kids[alternative] != 0) next[found++] = kids[alternative];
            }
        }
        if (found == 0) break;
        std::swap(level, next);
        size = found;
        path_[depth] = level[0];
    }
    // Of the strings that reach furthest, the newest: it was made from the pixels just before, which the
    // next ones most likely resemble.
    path_[depth - 1] = *std::max_element(level, level + size);
    return depth;
}

const std::vector<std::uint8_t>& GifLzw::pack(const std::uint8_t* colours, const std::uint8_t* hideable,
                                              std::size_t count, int transparent) {
    colours_ = colours;
    count_ = count;
    other_.resize(count);
    const bool hides = hideable != nullptr && transparent >= 0 && transparent < kColours;
    for (std::size_t i = 0; i < count; ++i) {
        if (colours[i] >= kColours) throw std::invalid_argument("GIF pixel outside the palette");
        other_[i] = hides && hideable[i] != 0 && colours[i] != transparent
                        ? static_cast<std::uint8_t>(transparent)
                        : kNone;
    }
    std::fill(child_.begin(), child_.end(), std::uint16_t{0});
    out_.clear();
    bits_ = 0;
    bitCount_ = 0;
    width_ = kCodeSize + 1;
    int next = kEnd + 1;
    put(kClear);
    int previous = -1;
    std::size_t at = 0;
    std::size_t ahead = 0; // when not 0, path_ already holds the match at `at`, this long
    while (at < count) {
        int code = 0;
        std::size_t length = 0;
        if (previous >= 0 && next < kMaxCodes) {
            // The decoder adds the previous string extended by this one's first symbol. That string may be
            // this one itself (the previous one and its own first symbol), so it is offered to the match.
            std::uint16_t* after = child_.data() + static_cast<std::size_t>(previous) * kColours;
            const unsigned repeat = first_[static_cast<std::size_t>(previous)];
            const bool offered = colours[at] == repeat || other_[at] == repeat;
            first_[static_cast<std::size_t>(next)] = static_cast<std::uint8_t>(repeat);
            if (offered) after[repeat] = static_cast<std::uint16_t>(next);
            length = match(at);
            code = path_[length - 1];
            if (offered) after[repeat] = 0;
            after[first_[static_cast<std::size_t>(code)]] = static_cast<std::uint16_t>(next);
            ++next;
        } else {
            length = ahead != 0 ? ahead : match(at);
            ahead = 0;
            code = path_[length - 1];
            if (next >= kMaxCodes && length > 1 && at + length < count) {
                // The table is full, so every code costs the same: a shorter string pays when the one after
                // it reaches further.
                const std::size_t shortest = length > kLook ? length - kLook : 1;
                std::array<std::uint16_t, kLook + 1> codes{};
                std::copy(path_.begin() + static_cast<std::ptrdiff_t>(shortest - 1),
                          path_.begin() + static_cast<std::ptrdiff_t>(length), codes.begin());
                std::size_t best = length, reach = 0;
                for (std::size_t l = shortest; l <= length; ++l) {
                    const std::size_t then = match(at + l);
                    if (l + then >= reach) {
                        // Kept, so that the next code need not be looked for again.
                        reach = l + then;
                        best = l;
                        ahead = then;
                        std::copy(path_.begin(), path_.begin() + static_cast<std::ptrdiff_t>(then),
                                  aheadPath_.begin());
                    }
                }
                std::copy(aheadPath_.begin(), aheadPath_.begin() + static_cast<std::ptrdiff_t>(ahead),
                          path_.begin());
                code = codes[best - shortest];
                length = best;
            }
        }
        put(code);
        // The next code may be `next` itself, the string the decoder adds on reading it, so the width grows
        // to hold it; once the table is full the highest code is 4095.
        if (next >= 1 << width_ && width_ < 12) ++width_;
        previous = code;
        at += length;
    }
    put(kEnd);
    if (bitCount_ > 0) out_.push_back(static_cast<std::uint8_t>(bits_));
    return out_;
}

} // namespace rs
