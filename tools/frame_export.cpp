// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "tools/frame_export.h"

#include "scene_io/file_replace.h"
#include "scene_io/scene_errors.h"

#include <QBuffer>
#include <QByteArray>

namespace rs {

void writePicturePng(const QImage& picture, const std::string& fileName) {
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) ||
        !picture.convertToFormat(QImage::Format_RGB888).save(&buffer, "PNG")) {
        throw ExportError(kWriteErrorMessage);
    }
    writeTextFile(png.toStdString(), fileName);
}

void writeTextFile(const std::string& text, const std::string& fileName) {
    replaceFileContents(fileName, text);
}

} // namespace rs
