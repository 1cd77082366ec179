// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// Picture memory the X server reads in place: a segment shared with it (MIT-SHM, handed over as a file
// descriptor), so a frame reaches a window in one request, without a copy into Qt's backing store and
// without waiting for the server before each frame is painted.

#include "draw/raster_canvas.h"

#include <cstdint>
#include <memory>

struct xcb_connection_t;

namespace rs {

class X11SharedPixels {
  public:
    // The segment on the application's X connection, or null when there is none to be had: not on X11,
    // a server without MIT-SHM 1.2, a connection that cannot carry a file descriptor (a remote display),
    // an attach the server refuses, no memory. Must not outlive the application object.
    static std::unique_ptr<X11SharedPixels> create();
    ~X11SharedPixels();

    X11SharedPixels(const X11SharedPixels&) = delete;
    X11SharedPixels& operator=(const X11SharedPixels&) = delete;

    // RasterCanvas::kPixelCount pixels, row-major, as long as this object lives.
    RasterCanvas::Memory pixels() const { return RasterCanvas::Memory(pixels_, RasterCanvas::kPixelCount); }

    // Whether a put shows the pixels unchanged in this window: depth 24, a TrueColor visual of
    // 0x00RRGGBB, 32 bits per pixel, least significant byte first. One round trip; asked of every new
    // window before it is shown in.
    bool suits(std::uint32_t window);

    // Puts the rectangle of the picture at the same place in the window (clipped to the picture) and
    // sends it. The server reads the pixels later: nothing may write them before waitUntilRead().
    void show(std::uint32_t window, int x, int y, int width, int height);
    // Returns once the server has read everything shown so far; at once when nothing is outstanding.
    void waitUntilRead();

  private:
    X11SharedPixels(xcb_connection_t* connection, std::uint32_t segment, Pixel* pixels);

    xcb_connection_t* connection_;
    std::uint32_t segment_;
    Pixel* pixels_;
    std::uint32_t gc_ = 0; // made with the first window shown in on the screen of root_
    std::uint32_t root_ = 0;
    // A request with a reply sent after the last put: its reply means the server has executed the put.
    bool fenceOutstanding_ = false;
    unsigned int fenceSequence_ = 0;
};

} // namespace rs
