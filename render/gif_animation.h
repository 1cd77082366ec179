// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// An animated GIF of whole pictures, encoded in memory: one global palette holding exactly the frame
// renderer's colours, looping for ever, and every frame after the first stored as the rectangle that
// changed since the one before, in which an unchanged pixel may be coded as transparent (GifLzw).

#include "sim/drawing_surface.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct GifFileType;

namespace rs {

class GifLzw;

// A frame interval in milliseconds as a GIF delay: hundredths of a second, halves rounded up, at least
// 2 (viewers stretch shorter delays to a tenth of a second).
int gifDelay(int milliseconds);

class GifAnimation {
  public:
    struct Box; // a rectangle of the picture

    // Every frame is shown for `delay` hundredths of a second.
    explicit GifAnimation(int delay);
    ~GifAnimation();
    GifAnimation(GifAnimation&&) = delete;
    GifAnimation(const GifAnimation&) = delete;
    GifAnimation& operator=(const GifAnimation&) = delete;

    // A kPictureSize x kPictureSize picture, row-major, as RasterCanvas::data() holds it. A picture equal
    // to the one before becomes a 1 x 1 frame of the same pixel, so the frame still takes its time.
    // Throws std::logic_error for a colour that is not in the palette.
    void addFrame(const Colour* pixels);
    // The complete file. Nothing can be added afterwards.
    std::string finish();

    // Ends a giflib encoder, for the encoders this file and its helpers own.
    struct Close {
        void operator()(GifFileType* gif) const;
    };

  private:
    // A palette index that no changed pixel of the box takes, or -1.
    int unusedIndex(const Box& box) const;

    int delay_;
    bool first_ = true;
    std::string bytes_;                  // before gif_: closing the encoder still writes into it
    std::vector<std::uint8_t> previous_; // palette indices of the last frame
    std::vector<std::uint8_t> current_;
    std::vector<std::uint8_t> boxPixels_; // the box of the frame being added
    std::vector<std::uint8_t> unchanged_; // 1 where the box's pixel is as in the frame before
    std::unique_ptr<GifLzw> lzw_;
    std::unique_ptr<GifFileType, Close> gif_;
};

} // namespace rs
