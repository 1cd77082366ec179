// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// Writing scene files: exact bytes, permissions, and that a failed save keeps the old file.

#include "scene_io/scene_errors.h"
#include "scene_io/scene_line_reader.h"
#include "scene_io/scene_values.h"
#include "scene_io/scene_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <sys/socket.h>
#include <sys/sysmacros.h>
#include <sys/un.h>

#include "tests/scene_io/test_files.h"
#include "tests/scene_io/unprivileged.h"

namespace rs {
namespace {

// The 37 lines of the start-up scene, built the way a save builds them.
std::vector<std::string> startupSceneLines() {
    std::vector<std::string> lines;
    for (std::int32_t bar : {-30, 30, 20, 15, 20, 200})
        lines.push_back(formatSceneInteger(bar));
    for (bool flag : {false, true, false, true, true, true, true, false, false, false, false})
        lines.push_back(formatSceneBoolean(flag));
    lines.resize(37, formatSceneInteger(0));
    return lines;
}

class SceneWriter : public testing::Test {
  protected:
    void SetUp() override { oldMask_ = ::umask(022); }
    void TearDown() override { ::umask(oldMask_); }
    std::string writeError(const std::string& path, const SceneBlockWriter& writer = {}) {
        try {
            writeSceneLines(path, startupSceneLines(), writer);
        } catch (const SceneFileError& e) {
            return e.what();
        }
        return "(written)";
    }

    test::TempFolder folder_;
    mode_t oldMask_ = 0;
};

TEST_F(SceneWriter, StartupSceneIsThe124ByteDefaultFile) {
    const std::string path = folder_.file("default");
    writeSceneLines(path, startupSceneLines());
    std::string expected =
        "-30\r\n30\r\n20\r\n15\r\n20\r\n200\r\n0\r\n-1\r\n0\r\n-1\r\n-1\r\n-1\r\n-1\r\n0\r\n0\r\n0\r\n0\r\n";
    for (int i = 0; i < 20; ++i)
        expected += "0\r\n";
    EXPECT_EQ(expected.size(), 124u);
    EXPECT_EQ(test::readBytes(path), expected);
    EXPECT_EQ(folder_.names(), std::vector<std::string>{"default"}); // the name is used as given
}

TEST_F(SceneWriter, SmallestIntegerRoundTripsAndUtf8NamesAreKept) {
    const std::string path = folder_.file("波源.rsd");
    std::vector<std::string> lines = startupSceneLines();
    lines[17] = formatSceneInteger(INT_MIN);
    writeSceneLines(path, lines);
    EXPECT_EQ(folder_.names(), std::vector<std::string>{"波源.rsd"});
    SceneLineReader reader(path);
    for (int n = 1; n < 18; ++n)
        reader.readLine();
    EXPECT_EQ(parseSceneInteger(reader.readLine()), INT_MIN);
}

TEST_F(SceneWriter, NewFileGetsUsualModeAndExistingKeepsItsOwn) {
    const std::string fresh = folder_.file("fresh.rsd");
    writeSceneLines(fresh, {"1"});
    const std::string kept = folder_.file("kept.rsd");
    test::writeBytes(kept, "a much longer old content than the new one\r\n");
    ::chmod(kept.c_str(), 0640);
    writeSceneLines(kept, {"2"});
    struct stat freshStat {
    }, keptStat{};
    ::stat(fresh.c_str(), &freshStat);
    ::stat(kept.c_str(), &keptStat);
    EXPECT_EQ(freshStat.st_mode & 07777, 0644u);
    EXPECT_EQ(keptStat.st_mode & 07777, 0640u);
    EXPECT_EQ(test::readBytes(kept), "2\r\n");
}

// A write that stops short, as on a full disk: the old file stays whole and no temporary file remains.
TEST_F(SceneWriter, ShortWriteKeepsTheOldFile) {
    const std::string path = folder_.file("scene.rsd");
    test::writeBytes(path, "old scene\r\n");
    const SceneBlockWriter shortWriters[] = {
        [](std::string_view block, const SceneWriteFn& write) { return write(block.substr(0, 10)); },
        [](std::string_view block, const SceneWriteFn& write) { return write(block.substr(1)); },
        [](std::string_view, const SceneWriteFn&) { return std::int64_t{-1}; }};
    for (const SceneBlockWriter& writer : shortWriters) {
        EXPECT_EQ(writeError(path, writer), "ストリームへの書き込みエラー");
        EXPECT_EQ(test::readBytes(path), "old scene\r\n");
        EXPECT_EQ(folder_.names(), std::vector<std::string>{"scene.rsd"});
    }
    EXPECT_EQ(writeError(folder_.file("new.rsd"), shortWriters[0]), "ストリームへの書き込みエラー");
    EXPECT_EQ(folder_.names(), std::vector<std::string>{"scene.rsd"});
    // The same seam passing the whole block writes the file, so the failures above are the short writes'.
    EXPECT_EQ(writeError(path, [](std::string_view b, const SceneWriteFn& write) { return write(b); }),
              "(written)");

    // Rewritten in place, in a folder closed to new names: the old bytes are put back, whether the new
    // text is longer or shorter than they are.
    const std::string shut = folder_.file("shut"), inside = shut + "/open.rsd";
    std::filesystem::create_directory(shut);
    ::chmod(folder_.file("").c_str(), 0755);
    for (const std::string& old : {std::string("old\r\n"), std::string(300, '9')}) {
        for (const SceneBlockWriter& writer : shortWriters) {
            ::chmod(shut.c_str(), 0777);
            test::writeBytes(inside, old);
            ::chmod(inside.c_str(), 0666);
            ::chmod(shut.c_str(), 0555);
            const std::optional<std::string> result = test::asUnprivileged([&] {
                const std::string error = writeError(inside, writer);
                return error + "|" + test::readBytes(inside);
            });
            if (!result) GTEST_SKIP() << "cannot run as an unprivileged user here (the other cases ran)";
            EXPECT_EQ(*result, "ストリームへの書き込みエラー|" + old);
        }
    }

    // A file-size limit is met as a full disk is, beside the old file and in place: reported, nothing
    // left behind or half rewritten, and the signal that comes with it does not end the program.
    test::writeBytes(path, "old\r\n");
    for (const std::string& target : {path, inside}) {
        const std::string before = test::readBytes(target);
        const std::optional<std::string> limited =
            test::inChild([&] { return (target == path || test::dropRights()) && test::limitFileSize(100); },
                          [&] { return writeError(target) + "|" + test::readBytes(target); });
        if (!limited) GTEST_SKIP() << "cannot run as an unprivileged user here (the other cases ran)";
        EXPECT_EQ(*limited, "ストリームへの書き込みエラー|" + before) << target;
    }
    ::chmod(shut.c_str(), 0755);
    EXPECT_EQ(folder_.names(), (std::vector<std::string>{"scene.rsd", "shut"}));
}

TEST_F(SceneWriter, UncreatableFilesReportTheNameAndKeepContent) {
    const std::string missingFolder = folder_.file("nowhere/scene.rsd");
    const std::string folderName = folder_.file("taken.rsd");
    std::filesystem::create_directory(folderName);
    test::writeBytes(folderName + "/inside", "x");
    for (const std::string& path : {missingFolder, folderName})
        EXPECT_EQ(writeError(path), "ファイル " + path + " を作成できません");
    EXPECT_EQ(test::readBytes(folderName + "/inside"), "x");
    EXPECT_EQ(folder_.names(), std::vector<std::string>{"taken.rsd"});

    // The folder is open to all, so only the file's mode can stop the save, as the fresh file shows.
    const std::string locked = folder_.file("locked.rsd");
    test::writeBytes(locked, "keep me\r\n");
    ::chmod(locked.c_str(), 0444);
    ::chmod(folder_.file("").c_str(), 0777);
    // Without any write permission it is read-only for whoever runs the program, root included.
    EXPECT_EQ(writeError(locked), "ファイル " + locked + " を作成できません");
    // In a folder closed to new names, a writable file is still emptied and rewritten; a new one fails.
    const std::string shut = folder_.file("shut");
    std::filesystem::create_directory(shut);
    test::writeBytes(shut + "/open.rsd", std::string(200, '9') + "\r\n"); // longer than a scene
    ::chmod((shut + "/open.rsd").c_str(), 0666);
    ::chmod(shut.c_str(), 0555);
    for (const auto& [path, outcome] :
         {std::pair{folder_.file("fresh.rsd"), std::string("(written)")},
          {locked, "ファイル " + locked + " を作成できません"},
          {shut + "/open.rsd", "(written)"},
          {shut + "/new.rsd", "ファイル " + shut + "/new.rsd を作成できません"}}) {
        const std::optional<std::string> result =
            test::asUnprivileged([this, name = path] { return writeError(name); });
        if (!result)
            GTEST_SKIP() << "running with permission override (root): the read-only-file case cannot fail "
                            "here (the other cases ran)";
        EXPECT_EQ(*result, outcome) << path;
    }
    ::chmod(shut.c_str(), 0755);
    EXPECT_EQ(test::readBytes(locked), "keep me\r\n");
    EXPECT_EQ(test::readBytes(shut + "/open.rsd"), test::readBytes(folder_.file("fresh.rsd")));
    EXPECT_EQ(folder_.names(), (std::vector<std::string>{"fresh.rsd", "locked.rsd", "shut", "taken.rsd"}));
}

// Names that are no regular file: a FIFO or character device is written where it stands, anything else
// is refused, and a link leads to its target. Nothing is ever renamed over any of them.
TEST_F(SceneWriter, SpecialFilesAreWrittenInPlaceOrRefused) {
    std::string block;
    for (const std::string& line : startupSceneLines())
        block += line + "\r\n";
    const auto path = [&](const char* name) { return folder_.file(name); };
    const auto node = [&](const char* name, mode_t type, unsigned major, unsigned minor) {
        return ::mknod(path(name).c_str(), type | 0666, ::makedev(major, minor)) == 0;
    };
    const auto fifo = [&](const char* name) { return ::mkfifo(path(name).c_str(), 0666) == 0; };
    const auto link = [&](const char* to, const char* name) {
        return ::symlink(to, path(name).c_str()) == 0;
    };
    int reader = -1;
    const auto withReader = [&](const char* name) {
        reader = ::open(path(name).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        return reader >= 0;
    };
    const auto cannot = [&](const char* name) { return "ファイル " + path(name) + " を作成できません"; };
    const std::string writeError = "ストリームへの書き込みエラー";
    std::filesystem::create_directory(path("sub"));
    test::writeBytes(path("real.rsd"), "old\r\n");

    struct Case {
        const char* name;
        std::function<bool()> make; // false: not allowed here (device nodes need root)
        std::string outcome;
        mode_t typeAfter;
        SceneBlockWriter writer = {};
    };
    const Case cases[] = {
        {"null", [&] { return node("null", S_IFCHR, 1, 3); }, "(written)", S_IFCHR},
        {"full", [&] { return node("full", S_IFCHR, 1, 7); }, writeError, S_IFCHR},
        {"loop", [&] { return node("loop", S_IFBLK, 7, 0); }, cannot("loop"), S_IFBLK},
        {"to-null", [&] { return link("/dev/null", "to-null"); }, "(written)", S_IFLNK},
        {"fifo", [&] { return fifo("fifo") && withReader("fifo"); }, "(written)", S_IFIFO},
        // Nobody reads: a plain write would wait for a reader for ever; this fails at once instead.
        {"unread", [&] { return fifo("unread"); }, cannot("unread"), S_IFIFO},
        // The reader goes away: the broken pipe is reported, and its signal does not end the program.
        {"left", [&] { return fifo("left") && withReader("left"); }, writeError, S_IFIFO,
         [&](std::string_view b, const SceneWriteFn& write) {
             ::close(reader);
             return write(b);
         }},
        {"socket",
         [&] {
             sockaddr_un address{};
             address.sun_family = AF_UNIX;
             path("socket").copy(address.sun_path, sizeof address.sun_path - 1);
             const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
             const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
             ::close(fd);
             return bound;
         },
         cannot("socket"), S_IFSOCK},
        {"alias.rsd", [&] { return link("sub/../real.rsd", "alias.rsd"); }, "(written)", S_IFLNK},
        {"dangling", [&] { return link("sub/made.rsd", "dangling"); }, "(written)", S_IFLNK},
    };
    std::vector<std::string> skipped;
    for (const Case& c : cases) {
        if (!c.make()) {
            skipped.push_back(c.name);
            continue;
        }
        EXPECT_EQ(this->writeError(path(c.name), c.writer), c.outcome) << c.name;
        EXPECT_EQ(test::modeOf(path(c.name)) & S_IFMT, c.typeAfter) << c.name;
        if (std::string(c.name) == "fifo") {
            std::string got(block.size() + 1, '\0');
            got.resize(
                static_cast<std::size_t>(std::max<ssize_t>(0, ::read(reader, got.data(), got.size()))));
            EXPECT_EQ(got, block);
            ::close(reader);
        }
    }
    EXPECT_EQ(test::readBytes(path("real.rsd")), block);
    EXPECT_EQ(test::readBytes(path("sub/made.rsd")), block);
    std::vector<std::string> expected = {"real.rsd", "sub"};
    for (const Case& c : cases)
        if (std::find(skipped.begin(), skipped.end(), c.name) == skipped.end()) expected.push_back(c.name);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(folder_.names(), expected) << "no temporary file left, nothing renamed";
    if (!skipped.empty())
        GTEST_SKIP() << "cannot make device nodes here (needs root): " << testing::PrintToString(skipped)
                     << " did not run (the other cases did)";
}

} // namespace
} // namespace rs
