// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "tools/frame_export.h"

#include "scene_io/scene_errors.h"

#include <QFile>
#include <QSaveFile>

namespace rs {

namespace {

template <class Write> void writeWhole(const std::string& fileName, Write&& write) {
    QSaveFile file(QFile::decodeName(QByteArray::fromStdString(fileName)));
    if (!file.open(QIODevice::WriteOnly)) {
        throw ExportError(cannotCreateMessage(fileName));
    }
    if (!write(file)) {
        file.cancelWriting();
        throw ExportError(kWriteErrorMessage);
    }
    if (!file.commit()) {
        throw ExportError(kWriteErrorMessage);
    }
}

} // namespace

void writePicturePng(const QImage& picture, const std::string& fileName) {
    writeWhole(fileName, [&](QSaveFile& file) {
        return picture.convertToFormat(QImage::Format_RGB888).save(&file, "PNG");
    });
}

void writeTextFile(const std::string& text, const std::string& fileName) {
    writeWhole(fileName, [&](QSaveFile& file) {
        return file.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size());
    });
}

} // namespace rs
