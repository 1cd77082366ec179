// Writing scene files: exact bytes, permissions, and that a failed save keeps the old file.

#include "scene_io/scene_errors.h"
#include "scene_io/scene_line_reader.h"
#include "scene_io/scene_values.h"
#include "scene_io/scene_writer.h"

#include <gtest/gtest.h>

#include <climits>
#include <sys/stat.h>

#include "tests/scene_io/test_files.h"

namespace rs {
namespace {

// The 37 lines of the start-up scene, built the way a save builds them.
std::vector<std::string> startupSceneLines() {
    std::vector<std::string> lines;
    for (std::int32_t bar : {-30, 30, 20, 15, 20, 200})
        lines.push_back(formatSceneInteger(bar));
    for (bool flag : {false, true, false, true, true, true, true, false, false, false, false})
        lines.push_back(formatSceneBoolean(flag));
    for (int field = 0; field < 20; ++field)
        lines.push_back(formatSceneInteger(0));
    return lines;
}

class SceneWriter : public testing::Test {
  protected:
    void SetUp() override { oldMask_ = ::umask(022); }
    void TearDown() override { ::umask(oldMask_); }

    test::TempFolder folder_;
    mode_t oldMask_ = 0;
};

TEST_F(SceneWriter, StartupSceneIsThe124ByteDefaultFile) {
    const std::string path = folder_.file("default");
    writeSceneLines(path, startupSceneLines());
    const std::string expected = "-30\r\n30\r\n20\r\n15\r\n20\r\n200\r\n"
                                 "0\r\n-1\r\n0\r\n-1\r\n-1\r\n-1\r\n-1\r\n0\r\n0\r\n0\r\n0\r\n" +
                                 [] {
                                     std::string zeros;
                                     for (int i = 0; i < 20; ++i)
                                         zeros += "0\r\n";
                                     return zeros;
                                 }();
    EXPECT_EQ(test::readBytes(path), expected);
    EXPECT_EQ(expected.size(), 124u);
    EXPECT_EQ(folder_.names(), std::vector<std::string>{"default"}); // no extension added here
}

TEST_F(SceneWriter, SmallestIntegerRoundTrips) {
    const std::string path = folder_.file("min.rsd");
    std::vector<std::string> lines = startupSceneLines();
    lines[17] = formatSceneInteger(INT_MIN);
    writeSceneLines(path, lines);
    SceneLineReader reader(path);
    for (int n = 1; n < 18; ++n)
        reader.readLine();
    const std::string line18 = reader.readLine();
    EXPECT_EQ(line18, "-2147483648");
    EXPECT_EQ(parseSceneInteger(line18), INT_MIN);
}

TEST_F(SceneWriter, EmptyListGivesEmptyFileAndUtf8NamesAreKept) {
    const std::string path = folder_.file("波源.rsd");
    writeSceneLines(path, {});
    EXPECT_EQ(folder_.names(), std::vector<std::string>{"波源.rsd"});
    EXPECT_EQ(test::readBytes(path), "");
}

TEST_F(SceneWriter, NewFileGetsUsualModeAndExistingKeepsItsOwn) {
    const std::string fresh = folder_.file("fresh.rsd");
    writeSceneLines(fresh, {"1"});
    EXPECT_EQ(test::modeOf(fresh), 0644u);

    const std::string kept = folder_.file("kept.rsd");
    test::writeBytes(kept, "a much longer old content than the new one\r\n");
    ::chmod(kept.c_str(), 0640);
    writeSceneLines(kept, {"2"});
    EXPECT_EQ(test::modeOf(kept), 0640u);
    EXPECT_EQ(test::readBytes(kept), "2\r\n"); // replaced, not overwritten in place
}

TEST_F(SceneWriter, ShortWriteKeepsTheOldFileAndLeavesNoTemporary) {
    const std::string path = folder_.file("scene.rsd");
    test::writeBytes(path, "old scene\r\n");
    struct Case {
        const char* what;
        SceneBlockWriter writer;
    };
    const Case cases[] = {
        {"disk full after 10 bytes",
         [](std::string_view block, const SceneWriteFn& write) { return write(block.substr(0, 10)); }},
        {"nothing written", [](std::string_view, const SceneWriteFn&) { return std::int64_t{0}; }},
        {"write failed", [](std::string_view, const SceneWriteFn&) { return std::int64_t{-1}; }},
        {"one byte short",
         [](std::string_view block, const SceneWriteFn& write) { return write(block.substr(1)); }},
    };
    for (const Case& c : cases) {
        try {
            writeSceneLines(path, startupSceneLines(), c.writer);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const EWriteError& e) {
            EXPECT_STREQ(e.what(), "ストリームへの書き込みエラー") << c.what;
        }
        EXPECT_EQ(test::readBytes(path), "old scene\r\n") << c.what;
        EXPECT_EQ(folder_.names(), std::vector<std::string>{"scene.rsd"}) << c.what;
    }
    // A full block through the same seam succeeds, so the failures above are the writer's doing.
    writeSceneLines(path, {"5"},
                    [](std::string_view block, const SceneWriteFn& write) { return write(block); });
    EXPECT_EQ(test::readBytes(path), "5\r\n");
}

TEST_F(SceneWriter, ShortWriteOfANewFileCreatesNothing) {
    const std::string path = folder_.file("new.rsd");
    EXPECT_THROW(writeSceneLines(path, {"1", "2"},
                                 [](std::string_view block, const SceneWriteFn& write) {
                                     return write(block.substr(0, 2));
                                 }),
                 EWriteError);
    EXPECT_TRUE(folder_.names().empty());
}

std::string createErrorFor(const std::string& path) {
    try {
        writeSceneLines(path, {"1"});
    } catch (const EFCreateError& e) {
        return e.what();
    }
    return "(written)";
}

TEST_F(SceneWriter, UncreatableFilesReportTheNameAndKeepContent) {
    const std::string missingFolder = folder_.file("nowhere/scene.rsd");
    EXPECT_EQ(createErrorFor(missingFolder), "ファイル " + missingFolder + " を作成できません");

    const std::string folderName = folder_.file("taken.rsd");
    std::filesystem::create_directory(folderName);
    test::writeBytes(folderName + "/inside", "x");
    EXPECT_EQ(createErrorFor(folderName), "ファイル " + folderName + " を作成できません");
    EXPECT_TRUE(std::filesystem::is_directory(folderName));
    EXPECT_EQ(test::readBytes(folderName + "/inside"), "x");
    EXPECT_EQ(folder_.names(), std::vector<std::string>{"taken.rsd"});
}

TEST_F(SceneWriter, ReadOnlyFileIsNotReplaced) {
    const std::string path = folder_.file("locked.rsd");
    test::writeBytes(path, "keep me\r\n");
    ::chmod(path.c_str(), 0444);
    if (test::permissionsIgnored(path, O_WRONLY))
        GTEST_SKIP() << "running with permission override (root): a read-only file is writable here";
    EXPECT_EQ(createErrorFor(path), "ファイル " + path + " を作成できません");
    EXPECT_EQ(test::readBytes(path), "keep me\r\n");
    EXPECT_EQ(folder_.names(), std::vector<std::string>{"locked.rsd"});
}

} // namespace
} // namespace rs
