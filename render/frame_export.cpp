// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "render/frame_export.h"

#include "scene_io/file_replace.h"
#include "scene_io/scene_errors.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

namespace rs {

void writePicturePng(const RasterCanvas& picture, const std::string& fileName) {
    // Each 0x00BBGGRR pixel as the three bytes R, G, B.
    QImage rgb(RasterCanvas::kSize, RasterCanvas::kSize, QImage::Format_RGB888);
    if (rgb.isNull()) throw ExportError(kWriteErrorMessage);
    for (int y = 0; y < RasterCanvas::kSize; ++y) {
        uchar* row = rgb.scanLine(y);
        for (int x = 0; x < RasterCanvas::kSize; ++x) {
            const Colour c = picture.pixel(x, y);
            row[3 * x] = static_cast<uchar>(c & 0xFFu);
            row[3 * x + 1] = static_cast<uchar>((c >> 8) & 0xFFu);
            row[3 * x + 2] = static_cast<uchar>((c >> 16) & 0xFFu);
        }
    }
    // The window's 96 dots per inch, stated in the file as every picture has stated it; it would
    // otherwise follow whatever screen Qt finds, or none.
    constexpr int kDotsPerMetre = 3780;
    rgb.setDotsPerMeterX(kDotsPerMetre);
    rgb.setDotsPerMeterY(kDotsPerMetre);
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !rgb.save(&buffer, "PNG")) {
        throw ExportError(kWriteErrorMessage);
    }
    writeTextFile(png.toStdString(), fileName);
}

void writeTextFile(const std::string& text, const std::string& fileName) {
    replaceFileContents(fileName, text);
}

} // namespace rs
