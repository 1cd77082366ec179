// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "scene_io/scene_errors.h"

#include <QString>
#include <QStringDecoder>

#include <cerrno>
#include <filesystem>
#include <new>
#include <sys/stat.h>

namespace rs {

namespace {

// ICU replaces what it cannot decode with U+001A rather than U+FFFD. Decoding the runs between real
// 0x1A bytes separately keeps the two apart.
QString decodeShiftJis(std::string_view bytes) {
    QString text;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = bytes.find('\x1A', start);
        if (end == std::string_view::npos) end = bytes.size();
        // A lead byte at the very end would be held back waiting for its trail byte and silently lost;
        // a final LF, never a trail byte, forces it out as a bad byte.
        QByteArray run(bytes.data() + start, static_cast<qsizetype>(end - start));
        run.append('\n');
        QString decoded = QStringDecoder("Shift_JIS", QStringConverter::Flag::Stateless).decode(run);
        if (decoded.endsWith(QLatin1Char('\n'))) decoded.chop(1);
        decoded.replace(QChar(0x1A), QChar(QChar::ReplacementCharacter));
        text += decoded;
        if (end == bytes.size()) break;
        text += QChar(0x1A);
        start = end + 1;
    }
    return text;
}

bool isFolder(const std::filesystem::path& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

std::string lineTextForMessage(std::string_view lineBytes) {
    const QString text = decodeShiftJis(lineBytes);
    // Count characters, not UTF-16 units, so a cut never splits a surrogate pair.
    qsizetype cut = 0;
    std::size_t chars = 0;
    while (cut < text.size() && chars < kMessageTextChars) {
        cut += (text.at(cut).isHighSurrogate() && cut + 1 < text.size()) ? 2 : 1;
        ++chars;
    }
    if (cut == text.size()) return text.toStdString();
    return (text.left(cut) + QChar(0x2026)).toStdString();
}

std::string inOutErrorMessage(int errorNumber, const std::string& path) {
    switch (errorNumber) {
    case ENOENT: {
        std::filesystem::path parent = std::filesystem::path(path).parent_path();
        if (parent.empty()) parent = ".";
        return isFolder(parent) ? "ファイルが見つかりません" : "不正なファイル名です";
    }
    case ENOTDIR:
        return "不正なファイル名です";
    case EMFILE:
    case ENFILE:
        return "オープンしたファイルが多すぎます";
    case EACCES:
    case EPERM:
        return "ファイルへのアクセスが拒否されました";
    default:
        return "I/O エラー (" + std::to_string(errorNumber) + ")";
    }
}

namespace {

// Appended piece by piece: GCC 12 warns falsely (-Wrestrict) when "'" + std::string inserts at the front.
std::string quotedLineMessage(std::string_view lineBytes, std::string_view rest) {
    std::string message = "'";
    message += lineTextForMessage(lineBytes);
    message += rest;
    return message;
}

} // namespace

std::string notAnIntegerMessage(std::string_view lineBytes) {
    return quotedLineMessage(lineBytes, "' は整数ではありません");
}

std::string notABooleanMessage(std::string_view lineBytes) {
    return quotedLineMessage(lineBytes, "' は正しい論理型ではありません");
}

std::string shownFileName(std::string_view fileNameBytes) {
    return QString::fromUtf8(fileNameBytes.data(), static_cast<qsizetype>(fileNameBytes.size()))
        .toStdString();
}

std::string cannotCreateMessage(std::string_view fileNameBytes) {
    return "ファイル " + shownFileName(fileNameBytes) + " を作成できません";
}

std::string errorBoxText(std::string message) {
    // The last byte of a non-ASCII character in UTF-8 is above 0x7F, so one comparison covers both.
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') message += '.';
    return message;
}

std::string currentErrorMessage() {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return kOutOfMemoryMessage;
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "不明なエラー";
    }
}

} // namespace rs
