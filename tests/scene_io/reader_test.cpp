// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// Reading scene lines: line ends, the end-of-file byte, short and long files, bounded lines, errors.

#include "scene_io/scene_errors.h"
#include "scene_io/scene_line_reader.h"
#include "scene_io/scene_values.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include "tests/scene_io/test_files.h"
#include "tests/scene_io/unprivileged.h"

namespace rs {
namespace {

std::vector<std::string> readLines(SceneLineReader&& reader, std::size_t count) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < count; ++i)
        lines.push_back(reader.readLine());
    return lines;
}

// Every read size gives the same lines: edges of the read buffer may fall anywhere.
TEST(SceneLines, SameForEveryChunkSize) {
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"12\r\n-3\r\n", {"12", "-3"}},
        {"12\n-3\n", {"12", "-3"}},
        {"12\r\n-3", {"12", "-3"}},
        {"12\r-3\r", {"12-3"}}, // CR alone ends nothing
        {"\r1\r2\r\r\n\n\r\nx", {"12", "", "", "x"}},
        {"1\n2\x1A"
         "3\n4\n",
         {"1", "2"}},
        {"\x1A"
         "1\n",
         {}},
        {std::string("\x82\xA0\xFF\0z\n", 6), {std::string("\x82\xA0\xFF\0z", 5)}}};
    for (const auto& [bytes, lines] : cases) {
        std::vector<std::string> expected = lines;
        expected.resize(expected.size() + 3); // empty for ever after the end
        for (std::size_t chunk : {1, 2, 3, 7, 65536})
            EXPECT_EQ(readLines(SceneLineReader(test::memoryFile(bytes), chunk), expected.size()), expected)
                << testing::PrintToString(bytes) << ", chunk " << chunk;
    }
}

std::string sceneOf(int lineCount, const char* ending) {
    std::string bytes;
    for (int n = 1; n <= lineCount; ++n)
        bytes += std::to_string(n * 7 - 100) + ending;
    return bytes;
}

// Converts 37 integer lines; returns the values, or the number and message of the first failing line.
std::pair<std::vector<std::int32_t>, std::string> convert37(const std::string& bytes) {
    SceneLineReader reader(test::memoryFile(bytes), SceneLineReader::kChunkBytes);
    std::vector<std::int32_t> values;
    try {
        while (values.size() < 37)
            values.push_back(parseSceneInteger(reader.readLine()));
    } catch (const EConvertError& e) {
        return {values, std::to_string(values.size() + 1) + ": " + e.what()};
    }
    return {values, ""};
}

TEST(SceneFiles, LineEndsAndWhatFollowsLine37DoNotMatter) {
    const auto reference = convert37(sceneOf(37, "\r\n"));
    ASSERT_EQ(reference.first.size(), 37u);
    EXPECT_EQ(reference.first.back(), 159);
    std::string noFinalEnd = sceneOf(37, "\r\n");
    noFinalEnd.resize(noFinalEnd.size() - 2);
    for (const std::string& bytes : {sceneOf(37, "\n"), noFinalEnd, sceneOf(40, "\r\n") + "\x1A\xFF"})
        EXPECT_EQ(convert37(bytes), reference);
}

TEST(SceneFiles, ShortOrCutFilesFailAtTheFirstMissingLine) {
    EXPECT_EQ(convert37(sceneOf(36, "\r\n")).second, "37: '' は整数ではありません");
    EXPECT_EQ(convert37(sceneOf(20, "\r\n") + "\x1A" + sceneOf(17, "\r\n")).second,
              "21: '' は整数ではありません");
}

TEST(SceneFiles, OverlongLinesKeepTheirFirst64KiB) {
    constexpr std::size_t kMax = SceneLineReader::kMaxLineBytes;
    std::string crowded;
    for (std::size_t i = 0; i < kMax + 10; ++i)
        crowded += "\rb"; // CRs do not count
    const std::string bytes =
        std::string(kMax + 1, 'a') + "\n" + std::string(3 * kMax, 'z') + "\r\n" + crowded + "\n7";
    const std::vector<std::string> expected = {std::string(kMax, 'a'), std::string(kMax, 'z'),
                                               std::string(kMax, 'b'), "7"};
    for (std::size_t chunk : {1000, 65536})
        EXPECT_EQ(readLines(SceneLineReader(test::memoryFile(bytes), chunk), 4), expected);
}

TEST(SceneFiles, CloseReleasesTheFile) {
    const int fd = test::memoryFile("1\n2\n");
    SceneLineReader reader(fd, 16);
    EXPECT_EQ(reader.readLine(), "1");
    reader.close();
    EXPECT_EQ(::fcntl(fd, F_GETFD), -1);
    EXPECT_EQ(reader.readLine(), "");
}

std::string openErrorFor(const std::string& path) {
    try {
        SceneLineReader(path).readLine();
    } catch (const EInOutError& e) {
        return e.what();
    }
    return "(read)";
}

TEST(SceneFileErrors, OpeningFailuresByReason) {
    test::TempFolder folder;
    test::writeBytes(folder.file("plain.rsd"), "1\n");
    std::filesystem::create_directory(folder.file("sub.rsd"));
    const std::pair<std::string, std::string> cases[] = {
        {folder.file("missing.rsd"), "ファイルが見つかりません"},
        {folder.file("nowhere/deeper/missing.rsd"), "不正なファイル名です"},
        {folder.file("plain.rsd/inside.rsd"), "不正なファイル名です"},
        {folder.file("sub.rsd"), "I/O エラー (21)"},
        {folder.file("plain.rsd"), "(read)"}};
    for (const auto& [path, message] : cases)
        EXPECT_EQ(openErrorFor(path), message) << path;

    // The readable file shows the unprivileged reader reaches the folder, so the denial is the file's.
    const std::string secret = folder.file("secret.rsd");
    test::writeBytes(secret, "1\n");
    ::chmod(secret.c_str(), 0200);
    ::chmod(folder.file("").c_str(), 0755);
    for (const auto& [path, message] :
         {std::pair{folder.file("plain.rsd"), "(read)"}, {secret, "ファイルへのアクセスが拒否されました"}}) {
        const std::optional<std::string> outcome =
            test::asUnprivileged([&file = path] { return openErrorFor(file); });
        if (!outcome)
            GTEST_SKIP() << "running with permission override (root): the unreadable-file case cannot fail "
                            "here (the other cases ran)";
        EXPECT_EQ(*outcome, message) << path;
    }
}

TEST(SceneFileErrors, TooManyOpenFiles) {
    test::TempFolder folder;
    test::writeBytes(folder.file("plain.rsd"), "1\n");
    // Raised once with descriptors to spare: sanitizer type checks need one the first time they meet a type.
    EXPECT_EQ(openErrorFor(folder.file("missing.rsd")), "ファイルが見つかりません");
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit none = saved;
    none.rlim_cur = 0;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &none), 0);
    const std::string message = openErrorFor(folder.file("plain.rsd"));
    ::setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_EQ(message, "オープンしたファイルが多すぎます");
}

TEST(SceneFileErrors, FailedReadReportsTheErrorNumber) {
    test::TempFolder folder;
    test::writeBytes(folder.file("plain.rsd"), "1\n");
    SceneLineReader reader(::open(folder.file("plain.rsd").c_str(), O_WRONLY | O_CLOEXEC),
                           16); // reads: EBADF
    try {
        reader.readLine();
        ADD_FAILURE() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_STREQ(e.what(), "I/O エラー (9)");
        EXPECT_EQ(e.errorNumber(), EBADF);
    }
}

} // namespace
} // namespace rs
