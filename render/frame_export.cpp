// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "render/frame_export.h"

#include "scene_io/file_replace.h"
#include "scene_io/scene_errors.h"

#include <png.h>

#include <csetjmp>
#include <cstdlib>
#include <new>
#include <vector>

namespace rs {

namespace {

// What libpng's callbacks report back. libpng is C: nothing may be thrown through it, so a failure
// jumps back to encodeRows, and becomes an exception once libpng's structures are destroyed.
struct PngOutput {
    std::string bytes;
    bool outOfMemory = false;
};

[[noreturn]] void pngError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void pngWarning(png_structp, png_const_charp) {}

png_voidp pngAllocate(png_structp png, png_alloc_size_t size) {
    void* memory = std::malloc(size);
    if (memory == nullptr) static_cast<PngOutput*>(png_get_mem_ptr(png))->outOfMemory = true;
    return memory;
}

void pngFree(png_structp, png_voidp memory) {
    std::free(memory);
}

void pngWrite(png_structp png, png_bytep data, png_size_t size) {
    auto* output = static_cast<PngOutput*>(png_get_io_ptr(png));
    bool appended = true;
    try {
        output->bytes.append(reinterpret_cast<const char*>(data), size);
    } catch (const std::bad_alloc&) {
        appended = false;
    }
    // Outside the try block: nothing of this frame needs destroying when libpng jumps over it.
    if (!appended) {
        output->outOfMemory = true;
        png_error(png, "out of memory");
    }
}

void pngFlush(png_structp) {}

// The window's 96 dots per inch, stated in the file as every picture has stated it.
constexpr png_uint_32 kDotsPerMetre = 3780;

// Every libpng call that can fail happens in here, and its error callback jumps back to the setjmp
// below over libpng's C frames only; no object with a destructor lives in this frame. libpng's
// defaults (zlib's default level, adaptive filters, 8 kB IDAT chunks, no gamma or text) are the
// settings Qt's PNG writer used, so the files are byte for byte the ones it wrote.
bool encodeRows(png_structp png, png_infop info, PngOutput* output, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, output, pngWrite, pngFlush);
    png_set_IHDR(png, info, RasterCanvas::kSize, RasterCanvas::kSize, 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_set_pHYs(png, info, kDotsPerMetre, kDotsPerMetre, PNG_RESOLUTION_METER);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    return true;
}

} // namespace

std::string encodePicturePng(const RasterCanvas& picture) {
    // Each 0x00BBGGRR pixel as the three bytes R, G, B.
    constexpr std::size_t kRowBytes = 3 * RasterCanvas::kSize;
    std::vector<png_byte> rgb(kRowBytes * RasterCanvas::kSize);
    std::vector<png_bytep> rows(RasterCanvas::kSize);
    for (int y = 0; y < RasterCanvas::kSize; ++y) {
        png_bytep row = rows[static_cast<std::size_t>(y)] =
            rgb.data() + kRowBytes * static_cast<std::size_t>(y);
        for (int x = 0; x < RasterCanvas::kSize; ++x) {
            const Colour c = picture.pixel(x, y);
            row[3 * x] = static_cast<png_byte>(c & 0xFFu);
            row[3 * x + 1] = static_cast<png_byte>((c >> 8) & 0xFFu);
            row[3 * x + 2] = static_cast<png_byte>((c >> 16) & 0xFFu);
        }
    }

    PngOutput output;
    png_structp png = png_create_write_struct_2(PNG_LIBPNG_VER_STRING, &output, pngError, pngWarning, &output,
                                                pngAllocate, pngFree);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    const bool encoded = info != nullptr && encodeRows(png, info, &output, rows.data());
    png_destroy_write_struct(&png, &info);
    if (!encoded && output.outOfMemory) throw std::bad_alloc();
    if (!encoded) throw ExportError(kWriteErrorMessage);
    return std::move(output.bytes);
}

void writePicturePng(const RasterCanvas& picture, const std::string& fileName) {
    writeTextFile(encodePicturePng(picture), fileName);
}

void writeTextFile(const std::string& text, const std::string& fileName) {
    replaceFileContents(fileName, text);
}

} // namespace rs
