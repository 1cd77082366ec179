// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// An animated GIF of whole pictures, handed on frame by frame as it is encoded: one global palette holding
// exactly the frame renderer's colours, looping for ever, and every frame after the first stored as the
// rectangle that changed since the one before, in which an unchanged pixel may be coded as transparent
// (GifLzw). Memory stays that of a few pictures however many frames there are.

#include "draw/raster_canvas.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
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

    // Takes the file's next bytes, in order; what it throws ends the animation there.
    using Sink = std::function<void(std::string_view bytes)>;

    // Every frame is shown for `delay` hundredths of a second. The header goes to sink with the first
    // frame.
    GifAnimation(int delay, Sink sink);
    ~GifAnimation();
    GifAnimation(GifAnimation&&) = delete;
    GifAnimation(const GifAnimation&) = delete;
    GifAnimation& operator=(const GifAnimation&) = delete;

    // A kPictureSize x kPictureSize picture, row-major, as RasterCanvas::data() holds it. A picture equal
    // to the one before becomes a 1 x 1 frame of the same pixel, so the frame still takes its time.
    // Throws std::logic_error for a colour that is not in the palette.
    void addFrame(const Pixel* pixels);
    // Hands on the end of the file. Nothing can be added afterwards.
    void finish();

    // Ends a giflib encoder, for the encoders this file and its helpers own.
    struct Close {
        void operator()(GifFileType* gif) const;
    };

  private:
    // A palette index that no changed pixel of the box takes, or -1.
    int unusedIndex(const Box& box) const;

    // The encoder's bytes so far, to the sink.
    void flush();

    int delay_;
    Sink sink_;
    bool first_ = true;
    std::string bytes_;                  // before gif_: closing the encoder still writes into it; not yet
                                         // handed to the sink
    std::vector<std::uint8_t> previous_; // palette indices of the last frame
    std::vector<std::uint8_t> current_;
    std::vector<std::uint8_t> boxPixels_; // the box of the frame being added
    std::vector<std::uint8_t> unchanged_; // 1 where the box's pixel is as in the frame before
    std::unique_ptr<GifLzw> lzw_;
    std::unique_ptr<GifFileType, Close> gif_;
};

} // namespace rs
