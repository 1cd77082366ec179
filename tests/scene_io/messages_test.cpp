// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// The texts of the scene-file errors, and how a line's bytes appear inside them.

#include "scene_io/scene_errors.h"
#include "scene_io/scene_values.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "tests/scene_io/test_files.h"

namespace rs {
namespace {

template <class Convert> std::string messageOf(Convert convert, const std::string& line) {
    try {
        convert(line);
    } catch (const SceneFileError& e) {
        return e.what();
    }
    return "(converted)";
}

std::string integerMessage(const std::string& line) {
    return messageOf([](const std::string& l) { return parseSceneInteger(l); }, line);
}

TEST(SceneMessages, ConversionMessagesQuoteTheLine) {
    EXPECT_EQ(integerMessage(""), "'' は整数ではありません");
    EXPECT_EQ(integerMessage(" 4 2"), "' 4 2' は整数ではありません");
    EXPECT_EQ(messageOf([](const std::string& l) { return parseSceneBoolean(l); }, "yes"),
              "'yes' は正しい論理型ではありません");
}

// Line bytes are code page 932 Shift_JIS; what does not decode is shown as U+FFFD.
TEST(SceneMessages, LineBytesAreDecodedAsShiftJis) {
    const std::pair<std::string, std::string> cases[] = {
        {"\x94\x67\x8C\xB9", "波源"}, {"\xB1\xB2", "ｱｲ"},   {"\x87\x40", "①"},
        {"A\x80Z", "A\uFFFDZ"},       {"1\x82", "1\uFFFD"}, {"a\x80\x1A\xA0", "a\uFFFD\x1A\uFFFD"}};
    for (const auto& [bytes, shown] : cases)
        EXPECT_EQ(lineTextForMessage(bytes), shown) << shown;
}

TEST(SceneMessages, LongLinesAreCutAfter200Characters) {
    EXPECT_EQ(lineTextForMessage(std::string(200, '7')), std::string(200, '7'));
    EXPECT_EQ(integerMessage(std::string(70000, 'z')),
              "'" + std::string(200, 'z') + "…' は整数ではありません");
    std::string bytes, shown;
    for (int i = 0; i < 300; ++i)
        bytes += "\x82\xA0"; // characters count, not bytes
    for (int i = 0; i < 200; ++i)
        shown += "あ";
    EXPECT_EQ(lineTextForMessage(bytes), shown + "…");
}

TEST(SceneMessages, OperatingSystemErrors) {
    test::TempFolder folder;
    const std::string inFolder = folder.file("missing.rsd");
    const std::tuple<int, std::string, std::string> cases[] = {
        {ENOENT, inFolder, "ファイルが見つかりません"},
        {ENOENT, folder.file("nowhere/missing.rsd"), "不正なファイル名です"},
        {ENOENT, "in-the-current-folder.rsd", "ファイルが見つかりません"},
        {ENOTDIR, inFolder, "不正なファイル名です"},
        {EMFILE, inFolder, "オープンしたファイルが多すぎます"},
        {ENFILE, inFolder, "オープンしたファイルが多すぎます"},
        {EACCES, inFolder, "ファイルへのアクセスが拒否されました"},
        {EPERM, inFolder, "ファイルへのアクセスが拒否されました"},
        {EIO, inFolder, "I/O エラー (5)"}};
    for (const auto& [error, path, message] : cases)
        EXPECT_EQ(inOutErrorMessage(error, path), message) << error;
}

} // namespace
} // namespace rs
