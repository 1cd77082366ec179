// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// Writing what the exporter produces: pictures as PNG, frame traces as text.

#include "draw/raster_canvas.h"

#include <stdexcept>
#include <string>

namespace rs {

// A picture that could not be encoded; what() is the message for the user.
class ExportError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// File names are the bytes given on the command line. Both replace the file as a whole as
// replaceFileContents does, and throw its EFCreateError or EWriteError when the file cannot be
// written; the old file is then left as it was.

// The picture as an RGB PNG, encoded in memory and then written; throws ExportError when it cannot
// be encoded.
void writePicturePng(const RasterCanvas& picture, const std::string& fileName);

// The bytes of that PNG file: RGB, 3780 dots per metre. Throws std::bad_alloc when memory runs out
// and ExportError when the picture cannot be encoded otherwise.
std::string encodePicturePng(const RasterCanvas& picture);

// The bytes as they are.
void writeTextFile(const std::string& text, const std::string& fileName);

} // namespace rs
