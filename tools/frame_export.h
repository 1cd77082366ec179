// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// Writing what the exporter produces: pictures as PNG, frame traces as text.

#include <QImage>

#include <stdexcept>
#include <string>

namespace rs {

// A picture or trace file that could not be written; what() is the message for the user.
class ExportError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The picture as an RGB PNG. The file is replaced only once it is complete; throws ExportError.
void writePicturePng(const QImage& picture, const std::string& fileName);

// The bytes as they are, replacing the file only once complete; throws ExportError.
void writeTextFile(const std::string& text, const std::string& fileName);

} // namespace rs
