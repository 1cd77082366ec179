// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "scene_io/scene_writer.h"

#include "scene_io/scene_errors.h"

#include <QFile>
#include <QSaveFile>

namespace rs {

void writeSceneLines(const std::string& fileName, const std::vector<std::string>& lines,
                     const SceneBlockWriter& blockWriter) {
    std::string block;
    for (const std::string& line : lines) {
        block += line;
        block += "\r\n";
    }

    // The temporary file lives in the target's folder, so the final rename never crosses devices.
    QSaveFile file(QFile::decodeName(QByteArray::fromStdString(fileName)));
    // A folder closed to new names still lets an existing writable file be emptied and rewritten.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) throw EFCreateError(cannotCreateMessage(fileName));

    const SceneWriteFn write = [&file](std::string_view bytes) -> std::int64_t {
        return file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    };
    const std::int64_t written = blockWriter ? blockWriter(block, write) : write(block);
    if (written != static_cast<std::int64_t>(block.size())) {
        file.cancelWriting(); // the destructor then removes the temporary file
        throw EWriteError(kWriteErrorMessage);
    }
    // commit() flushes, syncs and renames; on failure it discards the temporary file itself.
    if (!file.commit()) throw EWriteError(kWriteErrorMessage);
}

} // namespace rs
