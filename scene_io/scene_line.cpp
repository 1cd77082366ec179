// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "scene_io/scene_line.h"

#include "scene_io/scene_errors.h"

namespace rs {

namespace {

constexpr std::size_t kRunZeros = 16;
constexpr std::size_t kRunDigits = 17;

// A message quotes kMessageTextChars characters, each at most two bytes, and marks a longer line; the
// kept text must be long enough to show both.
static_assert(SceneLine::kKeptBytes > 2 * (kMessageTextChars + 1));

} // namespace

void SceneLine::push(char c) {
    if (text_.size() < kKeptBytes) {
        text_.push_back(c);
    } else {
        cut_ = true;
    }
    if (shortened_.size() >= kShortenedBytes) return;

    if (c >= '0' && c <= '9') {
        if (!inDigits_) {
            inDigits_ = true;
            runZeros_ = 0;
            runDigits_ = 0;
        }
        if (runDigits_ == 0 && c == '0') {
            if (runZeros_ == kRunZeros) return;
            ++runZeros_;
        } else {
            if (runDigits_ == kRunDigits) return;
            ++runDigits_;
        }
        shortened_.push_back(c);
        return;
    }
    inDigits_ = false;
    if (c == ' ' && !shortened_.empty() && shortened_.back() == ' ') return;
    shortened_.push_back(c);
}

} // namespace rs
