// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "ui/x11_shared_pixels.h"

#include <QGuiApplication>
#include <qguiapplication_platform.h>

#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <unistd.h>

namespace rs {

namespace {

constexpr std::size_t kBytes = RasterCanvas::kPixelCount * sizeof(Pixel);

// A file descriptor travels only over a local socket; a remote display (ssh's forwarding too) has none.
bool carriesFileDescriptors(xcb_connection_t* c) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    return ::getsockname(xcb_get_file_descriptor(c), reinterpret_cast<sockaddr*>(&address), &length) == 0 &&
           address.ss_family == AF_UNIX;
}

// Attaching a file descriptor came with MIT-SHM 1.2.
bool attachesFileDescriptors(xcb_connection_t* c) {
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_shm_id);
    if (extension == nullptr || extension->present == 0) return false;
    xcb_shm_query_version_reply_t* version =
        xcb_shm_query_version_reply(c, xcb_shm_query_version(c), nullptr);
    const bool recent = version != nullptr && (version->major_version > 1 ||
                                               (version->major_version == 1 && version->minor_version >= 2));
    std::free(version);
    return recent;
}

// Fixed in size, so the server's mapping can never lose pages under it.
Pixel* mapNewSegment(int& fd) {
    fd = ::memfd_create("ripplescope-picture", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0) return nullptr;
    if (::ftruncate(fd, static_cast<off_t>(kBytes)) == 0 &&
        ::fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_SEAL) == 0) {
        void* memory = ::mmap(nullptr, kBytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (memory != MAP_FAILED) return static_cast<Pixel*>(memory);
    }
    ::close(fd);
    fd = -1;
    return nullptr;
}

const xcb_visualtype_t* findVisual(const xcb_setup_t* setup, xcb_visualid_t id, std::uint8_t& depth) {
    for (auto screen = xcb_setup_roots_iterator(setup); screen.rem != 0; xcb_screen_next(&screen)) {
        for (auto d = xcb_screen_allowed_depths_iterator(screen.data); d.rem != 0; xcb_depth_next(&d)) {
            for (auto v = xcb_depth_visuals_iterator(d.data); v.rem != 0; xcb_visualtype_next(&v)) {
                if (v.data->visual_id == id) {
                    depth = d.data->depth;
                    return v.data;
                }
            }
        }
    }
    return nullptr;
}

// The server's images of depth 24 are the canvas's rows as they are: 32 bits a pixel, least significant
// byte first, rows padded to a multiple the row already is.
bool imagesAreCanvasRows(const xcb_setup_t* setup) {
    if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) return false;
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem != 0; xcb_format_next(&f)) {
        if (f.data->depth == 24) {
            return f.data->bits_per_pixel == 32 && f.data->scanline_pad != 0 &&
                   RasterCanvas::kSize * 32 % f.data->scanline_pad == 0;
        }
    }
    return false;
}

} // namespace

std::unique_ptr<X11SharedPixels> X11SharedPixels::create() {
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 != nullptr ? x11->connection() : nullptr;
    if (c == nullptr || xcb_connection_has_error(c) != 0 || !carriesFileDescriptors(c) ||
        !attachesFileDescriptors(c)) {
        return nullptr;
    }
    int fd = -1;
    Pixel* pixels = mapNewSegment(fd);
    if (pixels == nullptr) return nullptr;
    const std::uint32_t segment = xcb_generate_id(c);
    // Read-only: the server never writes the picture. xcb closes the descriptor once it is sent.
    xcb_generic_error_t* error = xcb_request_check(c, xcb_shm_attach_fd_checked(c, segment, fd, 1));
    if (error != nullptr || xcb_connection_has_error(c) != 0) {
        std::free(error);
        ::munmap(pixels, kBytes);
        return nullptr;
    }
    return std::unique_ptr<X11SharedPixels>(new X11SharedPixels(c, segment, pixels));
}

X11SharedPixels::X11SharedPixels(xcb_connection_t* connection, std::uint32_t segment, Pixel* pixels)
    : connection_(connection), segment_(segment), pixels_(pixels) {}

X11SharedPixels::~X11SharedPixels() {
    if (fenceOutstanding_) xcb_discard_reply(connection_, fenceSequence_);
    if (gc_ != 0) xcb_free_gc(connection_, gc_);
    // After any put still queued: the server keeps its own mapping until it has executed them.
    xcb_shm_detach(connection_, segment_);
    xcb_flush(connection_);
    ::munmap(pixels_, kBytes);
}

bool X11SharedPixels::suits(std::uint32_t window) {
    xcb_connection_t* c = connection_;
    const xcb_get_geometry_cookie_t geometryAsked = xcb_get_geometry(c, window);
    const xcb_get_window_attributes_cookie_t attributesAsked = xcb_get_window_attributes(c, window);
    xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(c, geometryAsked, nullptr);
    xcb_get_window_attributes_reply_t* attributes =
        xcb_get_window_attributes_reply(c, attributesAsked, nullptr);
    bool suits = false;
    if (geometry != nullptr && attributes != nullptr && geometry->depth == 24) {
        const xcb_setup_t* setup = xcb_get_setup(c);
        std::uint8_t depth = 0;
        const xcb_visualtype_t* visual = findVisual(setup, attributes->visual, depth);
        suits = visual != nullptr && depth == 24 && visual->_class == XCB_VISUAL_CLASS_TRUE_COLOR &&
                visual->red_mask == 0xFF0000u && visual->green_mask == 0x00FF00u &&
                visual->blue_mask == 0x0000FFu && imagesAreCanvasRows(setup);
    }
    // A graphics context serves the windows of one screen.
    if (suits && geometry->root != root_) {
        if (gc_ != 0) xcb_free_gc(c, gc_);
        gc_ = 0;
        root_ = geometry->root;
    }
    std::free(geometry);
    std::free(attributes);
    return suits;
}

void X11SharedPixels::show(std::uint32_t window, int x, int y, int width, int height) {
    constexpr int kSize = RasterCanvas::kSize;
    const int left = std::clamp(x, 0, kSize), top = std::clamp(y, 0, kSize);
    const int right = std::clamp(x + width, left, kSize), bottom = std::clamp(y + height, top, kSize);
    if (right == left || bottom == top) return;
    xcb_connection_t* c = connection_;
    if (gc_ == 0) {
        gc_ = xcb_generate_id(c);
        const std::uint32_t noExposures = 0;
        xcb_create_gc(c, gc_, window, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
    }
    const auto u16 = [](int v) { return static_cast<std::uint16_t>(v); };
    const auto i16 = [](int v) { return static_cast<std::int16_t>(v); };
    // No completion event: it would wake Qt's event reader and this thread every frame.
    xcb_shm_put_image(c, window, gc_, u16(kSize), u16(kSize), u16(left), u16(top), u16(right - left),
                      u16(bottom - top), i16(left), i16(top), 24, XCB_IMAGE_FORMAT_Z_PIXMAP, 0, segment_, 0);
    // The cheapest request with a reply; an earlier fence is implied by this one.
    if (fenceOutstanding_) xcb_discard_reply(c, fenceSequence_);
    fenceSequence_ = xcb_get_input_focus(c).sequence;
    fenceOutstanding_ = true;
    xcb_flush(c);
}

void X11SharedPixels::waitUntilRead() {
    if (!fenceOutstanding_) return;
    fenceOutstanding_ = false;
    // Null on a broken connection, when the server reads nothing any more either.
    std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus_cookie_t{fenceSequence_}, nullptr));
}

} // namespace rs
