// Reading scene lines: line ends, the end-of-file byte, short and long files, bounded lines, errors.

#include "scene_io/scene_errors.h"
#include "scene_io/scene_line_reader.h"
#include "scene_io/scene_values.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <sys/resource.h>

#include "tests/scene_io/test_files.h"

namespace rs {
namespace {

// An anonymous in-memory file holding bytes, positioned at its start.
int memoryFile(const std::string& bytes) {
    const int fd = ::memfd_create("scene", MFD_CLOEXEC);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) ||
        ::lseek(fd, 0, SEEK_SET) != 0)
        throw std::runtime_error("memfd");
    return fd;
}

std::vector<std::string> readLines(SceneLineReader& reader, std::size_t count) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < count; ++i)
        lines.push_back(reader.readLine());
    return lines;
}

struct LinesCase {
    const char* what;
    std::string bytes;
    std::vector<std::string> lines; // followed by empty lines for ever
};

void PrintTo(const LinesCase& c, std::ostream* os) {
    *os << testing::PrintToString(c.what);
}

class SceneLines : public testing::TestWithParam<LinesCase> {};

// Every read size must give the same lines: edges of the read buffer may fall anywhere.
TEST_P(SceneLines, SameForEveryChunkSize) {
    const LinesCase& c = GetParam();
    std::vector<std::string> expected = c.lines;
    expected.resize(expected.size() + 3);
    for (std::size_t chunk :
         {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{7}, SceneLineReader::kChunkBytes}) {
        SceneLineReader reader(memoryFile(c.bytes), chunk);
        EXPECT_EQ(readLines(reader, expected.size()), expected) << c.what << ", chunk " << chunk;
    }
}

INSTANTIATE_TEST_SUITE_P(Endings, SceneLines,
                         testing::Values(LinesCase{"CR LF", "12\r\n-3\r\n", {"12", "-3"}},
                                         LinesCase{"LF", "12\n-3\n", {"12", "-3"}},
                                         LinesCase{"no final end", "12\r\n-3", {"12", "-3"}},
                                         LinesCase{"CR only is one line", "12\r-3\r", {"12-3"}},
                                         LinesCase{"CR anywhere", "\r1\r2\r\r\n", {"12"}},
                                         LinesCase{"empty lines", "\r\n\n\r\nx", {"", "", "", "x"}},
                                         LinesCase{"empty file", "", {}},
                                         LinesCase{"0x1A ends the file",
                                                   "1\n2\x1A"
                                                   "3\n4\n",
                                                   {"1", "2"}},
                                         LinesCase{"0x1A at a line start", "1\n\x1A\n2\n", {"1"}},
                                         LinesCase{"0x1A first",
                                                   "\x1A"
                                                   "1\n",
                                                   {}},
                                         LinesCase{"bytes kept",
                                                   std::string("\x82\xA0\xFF\0z\n", 6),
                                                   {std::string("\x82\xA0\xFF\0z", 5)}}));

std::string sceneOf(int lineCount, const char* ending) {
    std::string bytes;
    for (int n = 1; n <= lineCount; ++n)
        bytes += std::to_string(n * 7 - 100) + ending;
    return bytes;
}

std::vector<std::int32_t> readThirtySevenIntegers(const std::string& bytes) {
    SceneLineReader reader(memoryFile(bytes), SceneLineReader::kChunkBytes);
    std::vector<std::int32_t> values;
    for (int n = 1; n <= 37; ++n)
        values.push_back(parseSceneInteger(reader.readLine()));
    return values;
}

TEST(SceneFiles, LineEndingsAndTrailingLinesDoNotMatter) {
    const auto reference = readThirtySevenIntegers(sceneOf(37, "\r\n"));
    EXPECT_EQ(reference.front(), -93);
    EXPECT_EQ(reference.back(), 159);
    EXPECT_EQ(readThirtySevenIntegers(sceneOf(37, "\n")), reference);
    std::string noFinalEnd = sceneOf(37, "\r\n");
    noFinalEnd.resize(noFinalEnd.size() - 2);
    EXPECT_EQ(readThirtySevenIntegers(noFinalEnd), reference);
    EXPECT_EQ(readThirtySevenIntegers(sceneOf(40, "\r\n")), reference);
    EXPECT_EQ(readThirtySevenIntegers(sceneOf(37, "\r\n") + "garbage\r\n\x1A\xFF"), reference);
}

// Reads 37 integer lines and returns the number of the first that fails, with its message.
std::pair<int, std::string> firstFailingLine(const std::string& bytes) {
    SceneLineReader reader(memoryFile(bytes), SceneLineReader::kChunkBytes);
    for (int n = 1; n <= 37; ++n) {
        try {
            parseSceneInteger(reader.readLine());
        } catch (const EConvertError& e) {
            return {n, e.what()};
        }
    }
    return {0, ""};
}

TEST(SceneFiles, ShortOrCutFilesFailAtTheFirstMissingLine) {
    EXPECT_EQ(firstFailingLine(sceneOf(36, "\r\n")),
              std::make_pair(37, std::string("'' は整数ではありません")));
    EXPECT_EQ(firstFailingLine(sceneOf(20, "\r\n") + "\x1A" + sceneOf(17, "\r\n")),
              std::make_pair(21, std::string("'' は整数ではありません")));
    EXPECT_EQ(firstFailingLine(""), std::make_pair(1, std::string("'' は整数ではありません")));
}

TEST(SceneFiles, OverlongLinesKeepTheirFirst64KiB) {
    constexpr std::size_t kMax = SceneLineReader::kMaxLineBytes;
    std::string crowded;
    for (std::size_t i = 0; i < kMax + 10; ++i)
        crowded += "\rb"; // CRs do not count
    const std::string bytes = std::string(kMax + 1, 'a') + "\n" + std::string(3 * kMax, 'z') + "\r\n" +
                              crowded + "\n" + std::string(kMax, 'c') + "\n7\n";
    for (std::size_t chunk : {std::size_t{1000}, SceneLineReader::kChunkBytes}) {
        SceneLineReader reader(memoryFile(bytes), chunk);
        EXPECT_EQ(reader.readLine(), std::string(kMax, 'a'));
        EXPECT_EQ(reader.readLine(), std::string(kMax, 'z'));
        EXPECT_EQ(reader.readLine(), std::string(kMax, 'b'));
        EXPECT_EQ(reader.readLine(), std::string(kMax, 'c'));
        EXPECT_EQ(reader.readLine(), "7");
    }
}

TEST(SceneFiles, CloseReleasesTheFile) {
    const int fd = memoryFile("1\n2\n");
    SceneLineReader reader(fd, 16);
    EXPECT_EQ(reader.readLine(), "1");
    reader.close();
    EXPECT_EQ(::fcntl(fd, F_GETFD), -1);
    EXPECT_EQ(reader.readLine(), "");
    reader.close();
}

std::string openErrorFor(const std::string& path) {
    try {
        SceneLineReader reader(path);
        reader.readLine();
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
        {folder.file("nowhere/missing.rsd"), "不正なファイル名です"},
        {folder.file("nowhere/deeper/missing.rsd"), "不正なファイル名です"},
        {folder.file("plain.rsd/inside.rsd"), "不正なファイル名です"},
        {folder.file("sub.rsd"), "I/O エラー (21)"},
        {folder.file("plain.rsd"), "(read)"},
    };
    for (const auto& [path, message] : cases)
        EXPECT_EQ(openErrorFor(path), message) << path;
}

TEST(SceneFileErrors, UnreadableFile) {
    test::TempFolder folder;
    const std::string path = folder.file("secret.rsd");
    test::writeBytes(path, "1\n");
    ::chmod(path.c_str(), 0200);
    if (test::permissionsIgnored(path, O_RDONLY))
        GTEST_SKIP() << "running with permission override (root): an unreadable file is readable here";
    EXPECT_EQ(openErrorFor(path), "ファイルへのアクセスが拒否されました");
}

TEST(SceneFileErrors, TooManyOpenFiles) {
    test::TempFolder folder;
    const std::string path = folder.file("plain.rsd");
    test::writeBytes(path, "1\n");
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit none = saved;
    none.rlim_cur = 0; // no new descriptor can be had
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &none), 0);
    const std::string message = openErrorFor(path);
    ::setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_EQ(message, "オープンしたファイルが多すぎます");
}

TEST(SceneFileErrors, FailedReadReportsTheErrorNumber) {
    test::TempFolder folder;
    const std::string path = folder.file("plain.rsd");
    test::writeBytes(path, "1\n");
    SceneLineReader reader(::open(path.c_str(), O_WRONLY | O_CLOEXEC), 16); // reading it gives EBADF
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
