// The texts of the scene-file errors, and how a line's bytes appear inside them.

#include "scene_io/scene_errors.h"
#include "scene_io/scene_values.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "tests/scene_io/test_files.h"

namespace rs {
namespace {

std::string integerMessage(const std::string& line) {
    try {
        parseSceneInteger(line);
    } catch (const EConvertError& e) {
        return e.what();
    }
    return "(converted)";
}

std::string booleanMessage(const std::string& line) {
    try {
        parseSceneBoolean(line);
    } catch (const EConvertError& e) {
        return e.what();
    }
    return "(converted)";
}

TEST(SceneMessages, ConversionMessagesQuoteTheLine) {
    EXPECT_EQ(integerMessage("abc"), "'abc' は整数ではありません");
    EXPECT_EQ(integerMessage(""), "'' は整数ではありません");
    EXPECT_EQ(integerMessage(" 4 2"), "' 4 2' は整数ではありません");
    EXPECT_EQ(booleanMessage("yes"), "'yes' は正しい論理型ではありません");
    EXPECT_EQ(booleanMessage(""), "'' は正しい論理型ではありません");
}

TEST(SceneMessages, AllAreSceneFileErrors) {
    EXPECT_THROW(parseSceneInteger("x"), SceneFileError);
    EXPECT_THROW(parseSceneBoolean("x"), SceneFileError);
}

// Line bytes are Shift_JIS (code page 932) and shown decoded; what does not decode becomes U+FFFD.
TEST(SceneMessages, LineBytesAreDecodedAsShiftJis) {
    struct Case {
        std::string bytes;
        std::string shown;
    };
    const Case cases[] = {
        {"\x82\xA0", "あ"},           // hiragana
        {"\x94\x67\x8C\xB9", "波源"}, // kanji
        {"\xB1\xB2", "ｱｲ"},           // half-width katakana, one byte each
        {"\x87\x40", "①"},            // a code page 932 extension
        {"A\x80Z", "A\uFFFDZ"},       // an unassigned single byte
        {"1\x82", "1\uFFFD"},         // a lead byte cut off at the end of the line
        {"\x1A", "\x1A"},             // a real 0x1A byte is not mistaken for a bad one
        {"a\x80\x1A\xA0", "a\uFFFD\x1A\uFFFD"},
        {std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(lineTextForMessage(c.bytes), c.shown) << c.shown;
    EXPECT_EQ(integerMessage("\x82\xA0"), "'あ' は整数ではありません");
}

TEST(SceneMessages, LongLinesAreCutAfter200Characters) {
    EXPECT_EQ(lineTextForMessage(std::string(200, '7')), std::string(200, '7'));
    EXPECT_EQ(lineTextForMessage(std::string(201, '7')), std::string(200, '7') + "…");
    EXPECT_EQ(lineTextForMessage(std::string(70000, '7')), std::string(200, '7') + "…");

    std::string hiragana;
    std::string expected;
    for (int i = 0; i < 300; ++i)
        hiragana += "\x82\xA0"; // 300 characters, 600 bytes
    for (int i = 0; i < 200; ++i)
        expected += "あ";
    EXPECT_EQ(lineTextForMessage(hiragana), expected + "…");
    EXPECT_EQ(integerMessage(std::string(250, 'z')), "'" + std::string(200, 'z') + "…' は整数ではありません");
}

TEST(SceneMessages, OperatingSystemErrors) {
    test::TempFolder folder;
    const std::string existingFolder = folder.file("missing.rsd");
    const std::string missingFolder = folder.file("nowhere/missing.rsd");
    struct Case {
        int error;
        std::string path;
        std::string message;
    };
    const Case cases[] = {
        {ENOENT, existingFolder, "ファイルが見つかりません"},
        {ENOENT, missingFolder, "不正なファイル名です"},
        {ENOENT, "relative-name-in-the-current-folder.rsd", "ファイルが見つかりません"},
        {ENOTDIR, existingFolder, "不正なファイル名です"},
        {EMFILE, existingFolder, "オープンしたファイルが多すぎます"},
        {ENFILE, existingFolder, "オープンしたファイルが多すぎます"},
        {EACCES, existingFolder, "ファイルへのアクセスが拒否されました"},
        {EPERM, existingFolder, "ファイルへのアクセスが拒否されました"},
        {EISDIR, existingFolder, "I/O エラー (21)"},
        {EIO, existingFolder, "I/O エラー (5)"},
        {ETXTBSY, existingFolder, "I/O エラー (26)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(inOutErrorMessage(c.error, c.path), c.message) << c.error;
}

} // namespace
} // namespace rs
