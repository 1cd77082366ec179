// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "scene_io/scene_errors.h"

#include "scene_io/text_decoding.h"

#include <cerrno>
#include <filesystem>
#include <new>
#include <sys/stat.h>

namespace rs {

namespace {

bool isFolder(const std::filesystem::path& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

std::string lineTextForMessage(std::string_view lineBytes) {
    return shiftJisToUtf8(lineBytes, kMessageTextChars);
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
    return utf8ForDisplay(fileNameBytes);
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
