// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "render/gif_animation.h"

#include "render/gif_lzw.h"
#include "sim/frame_settings.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>

namespace rs {

struct GifAnimation::Box {
    int left = 0, top = 0, width = 0, height = 0;
};

void GifAnimation::Close::operator()(GifFileType* gif) const {
    EGifCloseFile(gif, nullptr);
}

namespace {

using Box = GifAnimation::Box;
using Encoder = std::unique_ptr<GifFileType, GifAnimation::Close>;

constexpr int kSide = kPictureSize;
constexpr std::size_t kPixels = static_cast<std::size_t>(kSide) * kSide;

// Every colour the frame renderer draws with; eight entries fill a 3-bit palette exactly.
std::array<Colour, 8> paletteColours() {
    return {kWhite, kRed, kBlack, kGrey, sourceColour(1), sourceColour(2), sourceColour(3), sourceColour(4)};
}

std::runtime_error gifError(int code) {
    return std::runtime_error(std::string("GIF encoder: ") + GifErrorString(code));
}

void check(GifFileType* gif, int status) {
    if (status == GIF_ERROR) throw gifError(gif->Error);
}

int appendOutput(GifFileType* gif, const GifByteType* data, int size) {
    static_cast<std::string*>(gif->UserData)
        ->append(reinterpret_cast<const char*>(data), static_cast<std::size_t>(size));
    return size;
}

// An encoder that appends to sink, the header and the global palette already written.
Encoder openEncoder(std::string& sink) {
    int error = 0;
    Encoder gif(EGifOpen(&sink, appendOutput, &error));
    if (gif == nullptr) throw gifError(error);
    EGifSetGifVersion(gif.get(), true); // delays and looping are GIF89a extensions
    GifColorType colours[8];
    const auto palette = paletteColours();
    for (std::size_t i = 0; i < palette.size(); ++i) {
        colours[i] = {static_cast<GifByteType>(palette[i] & 0xFF),
                      static_cast<GifByteType>(palette[i] >> 8 & 0xFF),
                      static_cast<GifByteType>(palette[i] >> 16 & 0xFF)};
    }
    ColorMapObject* map = GifMakeMapObject(8, colours);
    if (map == nullptr) throw std::bad_alloc();
    const int screen = EGifPutScreenDesc(gif.get(), kSide, kSide, 8, 0, map); // copies the map
    GifFreeMapObject(map);
    check(gif.get(), screen);
    return gif;
}

// One frame: its timing, its place, then its code stream cut into the sub-blocks of at most 255 bytes
// that giflib passes on as they are.
void putFrame(GifFileType* gif, const Box& box, const std::vector<std::uint8_t>& codes, int transparent,
              int delay) {
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_DO_NOT; // each frame is drawn over the one before
    control.UserInputFlag = false;
    control.DelayTime = delay;
    control.TransparentColor = transparent;
    GifByteType extension[4];
    const auto size = EGifGCBToExtension(&control, extension);
    check(gif, EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(size), extension));
    // Writes the code size; the clear code giflib prepares stays unwritten, the stream brings its own.
    check(gif, EGifPutImageDesc(gif, box.left, box.top, box.width, box.height, false, nullptr));
    GifByteType block[256];
    for (std::size_t at = 0; at < codes.size(); at += 255) {
        const std::size_t length = std::min<std::size_t>(255, codes.size() - at);
        block[0] = static_cast<GifByteType>(length);
        std::memcpy(block + 1, codes.data() + at, length);
        check(gif, at == 0 ? EGifPutCode(gif, GifLzw::kCodeSize, block) : EGifPutCodeNext(gif, block));
    }
    check(gif, EGifPutCodeNext(gif, nullptr)); // the empty block that ends the frame
}

// The bounding box of the pixels that differ between a and b; empty when none do.
Box changedBox(const std::uint8_t* a, const std::uint8_t* b) {
    int top = 0;
    while (top < kSide && std::memcmp(a + top * kSide, b + top * kSide, kSide) == 0)
        ++top;
    if (top == kSide) return {};
    int bottom = kSide - 1;
    while (std::memcmp(a + bottom * kSide, b + bottom * kSide, kSide) == 0)
        --bottom;
    int left = kSide, right = -1;
    for (int y = top; y <= bottom; ++y) {
        const std::uint8_t* ra = a + y * kSide;
        const std::uint8_t* rb = b + y * kSide;
        int x = 0;
        while (x < left && ra[x] == rb[x])
            ++x;
        left = std::min(left, x);
        x = kSide - 1;
        while (x > right && ra[x] == rb[x])
            --x;
        right = std::max(right, x);
    }
    return {left, top, right - left + 1, bottom - top + 1};
}

} // namespace

int gifDelay(int milliseconds) {
    return std::clamp((std::clamp(milliseconds, 0, 655350) + 5) / 10, 2, 65535);
}

GifAnimation::GifAnimation(int delay, Sink sink)
    : delay_(delay), sink_(std::move(sink)), previous_(kPixels), current_(kPixels),
      lzw_(std::make_unique<GifLzw>()) {
    gif_ = openEncoder(bytes_);
    // The application extension that makes viewers loop; a count of 0 is for ever.
    static const char kNetscape[] = "NETSCAPE2.0";
    static const GifByteType kLoopForever[] = {1, 0, 0};
    check(gif_.get(), EGifPutExtensionLeader(gif_.get(), APPLICATION_EXT_FUNC_CODE));
    check(gif_.get(), EGifPutExtensionBlock(gif_.get(), 11, kNetscape));
    check(gif_.get(), EGifPutExtensionBlock(gif_.get(), sizeof kLoopForever, kLoopForever));
    check(gif_.get(), EGifPutExtensionTrailer(gif_.get()));
}

GifAnimation::~GifAnimation() = default;

void GifAnimation::addFrame(const Pixel* pixels) {
    if (gif_ == nullptr) throw std::logic_error("GIF animation already finished");
    // Pictures are mostly long runs of the background, so the last colour found is nearly always next.
    const std::array<Colour, 8> colours = paletteColours();
    std::array<Pixel, 8> palette{};
    std::transform(colours.begin(), colours.end(), palette.begin(), pixelOf);
    Pixel last = palette[0];
    std::uint8_t index = 0;
    for (std::size_t i = 0; i < kPixels; ++i) {
        if (pixels[i] != last) {
            const auto found = std::find(palette.begin(), palette.end(), pixels[i]);
            if (found == palette.end()) throw std::logic_error("picture colour outside the GIF palette");
            last = *found;
            index = static_cast<std::uint8_t>(found - palette.begin());
        }
        current_[i] = index;
    }

    Box box{0, 0, kSide, kSide};
    if (!first_) {
        box = changedBox(previous_.data(), current_.data());
        if (box.width == 0) box = {0, 0, 1, 1}; // still takes its time
    }
    boxPixels_.clear();
    unchanged_.clear();
    for (int y = box.top; y < box.top + box.height; ++y) {
        const std::size_t row = static_cast<std::size_t>(y) * kSide + static_cast<std::size_t>(box.left);
        for (std::size_t x = row; x < row + static_cast<std::size_t>(box.width); ++x) {
            boxPixels_.push_back(current_[x]);
            unchanged_.push_back(current_[x] == previous_[x]);
        }
    }
    // Unchanged pixels may be coded as a transparent index that no changed pixel takes.
    const int transparent = first_ ? NO_TRANSPARENT_COLOR : unusedIndex(box);
    putFrame(gif_.get(), box,
             lzw_->pack(boxPixels_.data(), unchanged_.data(), boxPixels_.size(), transparent), transparent,
             delay_);
    previous_.swap(current_);
    first_ = false;
    flush();
}

void GifAnimation::flush() {
    // Emptied first: a sink that throws leaves nothing to be handed on twice.
    const std::string bytes = std::move(bytes_);
    bytes_.clear();
    sink_(bytes);
}

int GifAnimation::unusedIndex(const Box& box) const {
    unsigned used = 0;
    for (int y = box.top; y < box.top + box.height; ++y) {
        const std::uint8_t* now = current_.data() + y * kSide + box.left;
        const std::uint8_t* before = previous_.data() + y * kSide + box.left;
        for (int x = 0; x < box.width; ++x)
            if (now[x] != before[x]) used |= 1u << now[x];
    }
    for (int i = 0; i < 8; ++i)
        if ((used & 1u << i) == 0) return i;
    return NO_TRANSPARENT_COLOR;
}

void GifAnimation::finish() {
    if (gif_ == nullptr) throw std::logic_error("GIF animation already finished");
    int error = 0;
    if (EGifCloseFile(gif_.release(), &error) == GIF_ERROR) throw gifError(error);
    flush();
}

} // namespace rs
