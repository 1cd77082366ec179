// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// File > Save and File > Open: the 37 lines written from and applied to the window, dialogs, errors.

#include "app/sound.h"
#include "tests/scene_io/test_files.h"
#include "tests/scene_io/unprivileged.h"
#include "tests/ui/scripted_interaction.h"

#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace rs {
namespace {

using Lines = std::vector<std::string>;

const Lines kDefaultLines = {"-30", "30", "20", "15", "20", "200", "0", "-1", "0", "-1", "-1", "-1", "-1",
                             "0",   "0",  "0",  "0",  "0",  "0",   "0", "0",  "0", "0",  "0",  "0",  "0",
                             "0",   "0",  "0",  "0",  "0",  "0",   "0", "0",  "0", "0",  "0"};

std::string joined(const Lines& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line + "\r\n";
    }
    return bytes;
}

// A file whose every value differs from the start-up scene and from its neighbours.
Lines distinctLines() {
    Lines lines = {"45", "-120", "33", "27", "41", "640", "-1", "0", "0",
                   "0",  "-1",   "0",  "-1", "-1", "-1",  "-1", "-1"};
    for (int n = 18; n <= 37; ++n) {
        lines.push_back(std::to_string((n % 2 == 0 ? -1 : 1) * (1000 + n)));
    }
    return lines;
}

QString captionOf(const TForm1& f, int source, int field) {
    const std::vector<std::vector<QPushButton*>> buttons = {
        {f.bt_1_x, f.bt_1_y, f.bt_1_a, f.bt_1_o, f.bt_1_p},
        {f.bt_2_x, f.bt_2_y, f.bt_2_a, f.bt_2_o, f.bt_2_p},
        {f.bt_3_x, f.bt_3_y, f.bt_3_a, f.bt_3_o, f.bt_3_p},
        {f.bt_4_x, f.bt_4_y, f.bt_4_a, f.bt_4_o, f.bt_4_p},
    };
    return buttons[static_cast<std::size_t>(source - 1)][static_cast<std::size_t>(field)]->text();
}

std::int32_t fieldOf(const TForm1& f, int source, int field) {
    const WaveSource& s = f.scene.source(source);
    const std::int32_t values[] = {s.x, s.y, s.amp, s.omega, s.phase};
    return values[field];
}

const QString kPrefix[] = {QStringLiteral("X:"), QStringLiteral("Y:"), QStringLiteral("A:"),
                           QStringLiteral("ω:"), QStringLiteral("Φ:")};

// Every value Open can set, as the text Save would write for it, with the captions' texts after them.
Lines snapshot(const TForm1& f) {
    Lines s;
    for (const TrackBar* bar :
         {f.thetachanger, f.phichanger, f.numpoints, f.numzoom, f.velocitychanger, f.fpschanger}) {
        s.push_back(std::to_string(bar->position()));
    }
    for (const QAbstractButton* b : std::initializer_list<const QAbstractButton*>{
             f.gens1, f.gens2, f.gens0, f.ch_baishitsu, f.ch_bashi, f.ch_suihei, f.ch_seibun, f.ch_2cut,
             f.ch_guruguru, f.ch_rect, f.ch_koma}) {
        s.push_back(b->isChecked() ? "-1" : "0");
    }
    for (int i = 1; i <= kSourceCount; ++i) {
        for (int k = 0; k < 5; ++k) {
            s.push_back(std::to_string(fieldOf(f, i, k)));
        }
    }
    for (int i = 1; i <= kSourceCount; ++i) {
        for (int k = 0; k < 5; ++k) {
            s.push_back(captionOf(f, i, k).toStdString());
        }
    }
    return s;
}

class SceneFiles : public ::testing::Test {
  protected:
    std::string file(const std::string& name) const { return dir.file(name); }
    QString qfile(const std::string& name) const { return QString::fromStdString(dir.file(name)); }

    void save(const std::string& name) {
        ui.fileReplies.push_back(testing::ScriptedInteraction::ok(qfile(name)));
        form.SaveS1->trigger();
    }
    void open(const std::string& name) {
        ui.fileReplies.push_back(testing::ScriptedInteraction::ok(qfile(name)));
        form.OpenO1->trigger();
    }
    void openLines(const Lines& lines) {
        test::writeBytes(file("in.rsd"), joined(lines));
        open("in.rsd");
    }
    std::vector<QString> errorTexts() const {
        std::vector<QString> texts;
        for (const auto& e : ui.errors) {
            texts.push_back(e.text);
        }
        return texts;
    }

    test::TempFolder dir;
    testing::ScriptedInteraction ui;
    TForm1 form{ui};
};

struct NameCase {
    const char* typed;
    const char* written;
};

TEST_F(SceneFiles, SaveWritesTheStartUpSceneUnderTheExtendedName) {
    const NameCase cases[] = {
        {"bare", "bare.rsd"},           {"kept.rsd", "kept.rsd"}, {"upper.RSD", "upper.RSD.rsd"},
        {"other.txt", "other.txt.rsd"}, {"rsd", "rsd.rsd"},       {"dotless.xrsd", "dotless.xrsd.rsd"},
    };
    for (const NameCase& c : cases) {
        save(c.typed);
        EXPECT_EQ(test::readBytes(file(c.written)), joined(kDefaultLines)) << c.typed;
        EXPECT_EQ(test::readBytes(file(c.written)).size(), 124u) << c.typed;
        EXPECT_EQ(form.SaveDialog1.fileName(), qfile(c.written)) << c.typed;
        // The next save dialog offers the extended name.
        form.SaveS1->trigger();
        EXPECT_EQ(ui.rememberedNames.back(), qfile(c.written)) << c.typed;
    }
    EXPECT_EQ(dir.names().size(), std::size(cases)) << "only the extended names were written";
    EXPECT_EQ(form.saver->lines().size(), 37);
    EXPECT_TRUE(ui.errors.empty());
}

struct LineCase {
    int line;
    std::function<void(TForm1&)> change;
    const char* text;
};

// Each line comes from its own control or value: change one, and exactly that line changes.
TEST_F(SceneFiles, SaveTakesEachLineFromItsOwnControl) {
    const std::vector<LineCase> cases = {
        {1, [](TForm1& f) { f.thetachanger->setPosition(89); }, "89"},
        {2, [](TForm1& f) { f.phichanger->setPosition(-179); }, "-179"},
        {3, [](TForm1& f) { f.numpoints->setPosition(50); }, "50"},
        {4, [](TForm1& f) { f.numzoom->setPosition(11); }, "11"},
        {5, [](TForm1& f) { f.velocitychanger->setPosition(7); }, "7"},
        {6, [](TForm1& f) { f.fpschanger->setPosition(1000); }, "1000"},
        {7, [](TForm1& f) { f.gens1->setChecked(true); }, "-1"},
        {9, [](TForm1& f) { f.gens0->setChecked(true); }, "-1"},
        {10, [](TForm1& f) { f.ch_baishitsu->setChecked(false); }, "0"},
        {11, [](TForm1& f) { f.ch_bashi->setChecked(false); }, "0"},
        {12, [](TForm1& f) { f.ch_suihei->setChecked(false); }, "0"},
        {13, [](TForm1& f) { f.ch_seibun->setChecked(false); }, "0"},
        {14, [](TForm1& f) { f.ch_2cut->setChecked(true); }, "-1"},
        {15, [](TForm1& f) { f.ch_guruguru->setChecked(true); }, "-1"},
        {16, [](TForm1& f) { f.ch_rect->setChecked(true); }, "-1"},
        {17, [](TForm1& f) { f.ch_koma->setChecked(true); }, "-1"},
        {18, [](TForm1& f) { f.scene.source(1).x = -2147483647 - 1; }, "-2147483648"},
        {22, [](TForm1& f) { f.scene.source(1).phase = 2147483647; }, "2147483647"},
        {26, [](TForm1& f) { f.scene.source(2).omega = 12; }, "12"},
        {29, [](TForm1& f) { f.scene.source(3).y = -5; }, "-5"},
        {35, [](TForm1& f) { f.scene.source(4).amp = 300; }, "300"},
        {37, [](TForm1& f) { f.scene.source(4).phase = -90; }, "-90"},
    };
    for (const LineCase& c : cases) {
        testing::ScriptedInteraction freshUi;
        TForm1 fresh(freshUi);
        c.change(fresh);
        freshUi.fileReplies.push_back(testing::ScriptedInteraction::ok(qfile("one.rsd")));
        fresh.SaveS1Click();
        Lines expected = kDefaultLines;
        expected[static_cast<std::size_t>(c.line - 1)] = c.text;
        if (c.line == 7 || c.line == 9) {
            expected[7] = "0"; // gens2 lost its check to the other button
        }
        EXPECT_EQ(test::readBytes(file("one.rsd")), joined(expected)) << "line " << c.line;
    }
}

TEST_F(SceneFiles, CancelledDialogsChangeAndWriteNothing) {
    save("kept.rsd");
    const std::string before = test::readBytes(file("kept.rsd"));
    form.scene.source(2).amp = 9;
    const Lines state = snapshot(form);

    ui.fileReplies.push_back(testing::ScriptedInteraction::cancel());
    form.SaveS1->trigger();
    ui.fileReplies.push_back(testing::ScriptedInteraction::cancel());
    form.OpenO1->trigger();

    EXPECT_EQ(test::readBytes(file("kept.rsd")), before);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"kept.rsd"});
    EXPECT_EQ(snapshot(form), state);
    EXPECT_EQ(form.SaveDialog1.fileName(), qfile("kept.rsd"));
    EXPECT_TRUE(form.OpenDialog1.fileName().isEmpty());
    EXPECT_TRUE(ui.errors.empty());
}

TEST_F(SceneFiles, OpenAppliesEveryLineAndSaveWritesItBackByteForByte) {
    const Lines lines = distinctLines();
    form.picture.setBrushColour(0x00123456);
    form.picture.fillRect(0, 0, 601, 601);
    form.scene.simTime = 77.0;

    openLines(lines);

    ASSERT_TRUE(ui.errors.empty()) << ui.errors.front().text.toStdString();
    const Lines state = snapshot(form);
    for (std::size_t n = 0; n < lines.size(); ++n) {
        EXPECT_EQ(state[n], lines[n]) << "line " << n + 1;
    }
    for (int i = 1; i <= kSourceCount; ++i) {
        for (int k = 0; k < 5; ++k) {
            EXPECT_EQ(captionOf(form, i, k), kPrefix[k] + QString::number(fieldOf(form, i, k)));
        }
    }
    EXPECT_EQ(form.scene.source(3).speed, 4.1);
    // Open neither draws, nor moves the clock, nor starts the animation, nor presets Save's name.
    EXPECT_EQ(form.picture.pixel(300, 300), 0x00123456u);
    EXPECT_EQ(form.scene.simTime, 77.0);
    EXPECT_EQ(form.Timer1.interval(), 0);
    EXPECT_TRUE(form.SaveDialog1.fileName().isEmpty());

    save("again.rsd");
    EXPECT_EQ(test::readBytes(file("again.rsd")), joined(lines));
}

TEST_F(SceneFiles, CaptionsShowTheLineAsRead) {
    Lines lines = kDefaultLines;
    lines[17] = "+7";
    lines[18] = "  $2A";
    lines[19] = "0x10";
    lines[20] = "-0";
    openLines(lines);
    ASSERT_TRUE(ui.errors.empty());
    EXPECT_EQ(form.scene.source(1).x, 7);
    EXPECT_EQ(form.scene.source(1).y, 42);
    EXPECT_EQ(form.scene.source(1).amp, 16);
    EXPECT_EQ(form.scene.source(1).omega, 0);
    EXPECT_EQ(form.bt_1_x->text(), QStringLiteral("X:+7"));
    EXPECT_EQ(form.bt_1_y->text(), QStringLiteral("Y:  $2A"));
    EXPECT_EQ(form.bt_1_a->text(), QStringLiteral("A:0x10"));
    EXPECT_EQ(form.bt_1_o->text(), QStringLiteral("ω:-0"));
    // A screen reader hears the line as read, too.
    EXPECT_EQ(form.bt_1_y->accessibleName(), QStringLiteral("波源1のy座標   $2A"));
    EXPECT_EQ(form.bt_1_x->accessibleName(), QStringLiteral("波源1のx座標 +7"));
}

// A line is read and converted whole, however long; a caption keeps up to 64 KiB of it exactly.
TEST_F(SceneFiles, LongLinesOpenAsTheyRead) {
    constexpr std::size_t kKept = 64 * 1024;
    const std::string blanks(kKept, ' ');
    struct LongCase {
        std::size_t line;
        std::string text;
        std::function<bool(const TForm1&)> applied;
    };
    const std::vector<LongCase> cases = {
        {3, std::string(kKept - 3, ' ') + "50",
         [](const TForm1& f) { return f.numpoints->position() == 50; }},
        {3, std::string(kKept - 1, ' ') + "50",
         [](const TForm1& f) { return f.numpoints->position() == 50; }},
        {3, blanks + "50", [](const TForm1& f) { return f.numpoints->position() == 50; }},
        {7, std::string(70000, ' ') + "-1", [](const TForm1& f) { return f.gens1->isChecked(); }},
        {18, std::string(kKept - 2, ' ') + "+7",
         [&](const TForm1& f) {
             return f.bt_1_x->text() == QString::fromLatin1("X:" + blanks.substr(2) + "+7");
         }},
        {18, blanks + "+7",
         [&](const TForm1& f) {
             return f.bt_1_x->text() == QString::fromLatin1("X:" + blanks) + QChar(0x2026);
         }},
    };
    for (const LongCase& c : cases) {
        testing::ScriptedInteraction freshUi;
        TForm1 fresh(freshUi);
        Lines lines = kDefaultLines;
        lines[7] = "0"; // gens2 would take the check from gens1 again
        lines[c.line - 1] = c.text;
        test::writeBytes(file("long.rsd"), joined(lines));
        EXPECT_TRUE(fresh.openSceneFile(qfile("long.rsd"))) << "line " << c.line << ", " << c.text.size();
        EXPECT_TRUE(c.applied(fresh)) << "line " << c.line << ", " << c.text.size() << " bytes";
        if (c.line == 18) {
            EXPECT_EQ(fresh.scene.source(1).x, 7);
        }
    }
}

struct FailCase {
    const char* what;
    Lines lines;
    std::size_t applied; // values of the file in effect, in file order
    QString message;
};

// The failing line and everything after it keep what they had; the lines before stay applied.
TEST_F(SceneFiles, OpenStopsAtTheFirstLineThatDoesNotConvert) {
    const Lines good = distinctLines();
    Lines badLine20 = good;
    badLine20[19] = "12 3";
    Lines badLine1 = good;
    badLine1[0] = "word";
    Lines badFlag = good;
    badFlag[9] = "yes";
    Lines badSpeed = good;
    badSpeed[4] = "1.5";
    const std::vector<FailCase> cases = {
        {"line 20", badLine20, 19, QStringLiteral("'12 3' は整数ではありません.")},
        {"36 lines", Lines(good.begin(), good.end() - 1), 36, QStringLiteral("'' は整数ではありません.")},
        {"line 1", badLine1, 0, QStringLiteral("'word' は整数ではありません.")},
        {"line 10", badFlag, 9, QStringLiteral("'yes' は正しい論理型ではありません.")},
        {"line 5", badSpeed, 4, QStringLiteral("'1.5' は整数ではありません.")},
    };
    for (const FailCase& c : cases) {
        testing::ScriptedInteraction freshUi;
        TForm1 fresh(freshUi);
        const Lines before = snapshot(fresh);
        test::writeBytes(file("bad.rsd"), joined(c.lines));
        freshUi.fileReplies.push_back(testing::ScriptedInteraction::ok(qfile("bad.rsd")));
        fresh.OpenO1->trigger();

        ASSERT_EQ(freshUi.errors.size(), 1u) << c.what;
        EXPECT_EQ(freshUi.errors[0].caption, QStringLiteral("Ripplescope"));
        EXPECT_EQ(freshUi.errors[0].text, c.message) << c.what;
        const Lines after = snapshot(fresh);
        for (std::size_t n = 0; n < 37; ++n) {
            EXPECT_EQ(after[n], n < c.applied ? good[n] : before[n]) << c.what << ", line " << n + 1;
            if (n >= 17) {
                EXPECT_EQ(after[n + 20] == before[n + 20], n >= c.applied) << c.what << ", caption " << n + 1;
            }
        }
        EXPECT_EQ(fresh.scene.source(1).speed, c.applied > 4 ? 4.1 : 2.0) << c.what;
    }
}

struct RadioCase {
    const char* lines[3];
    bool checked[3]; // gens1, gens2, gens0
};

TEST_F(SceneFiles, RadioLinesApplyOneAfterAnother) {
    const RadioCase cases[] = {
        {{"0", "0", "0"}, {false, false, false}},  {{"-1", "-1", "-1"}, {false, false, true}},
        {{"-1", "0", "0"}, {true, false, false}},  {{"1", "true", "0"}, {false, true, false}},
        {{"-1", "0", "-1"}, {false, false, true}}, {{"0", "-1", "0"}, {false, true, false}},
    };
    for (const RadioCase& c : cases) {
        Lines lines = kDefaultLines;
        for (std::size_t i = 0; i < 3; ++i) {
            lines[6 + i] = c.lines[i];
        }
        form.gens1->setChecked(true); // start from a different choice than the default
        openLines(lines);
        EXPECT_EQ(form.gens1->isChecked(), c.checked[0]) << c.lines[0] << c.lines[1] << c.lines[2];
        EXPECT_EQ(form.gens2->isChecked(), c.checked[1]) << c.lines[0] << c.lines[1] << c.lines[2];
        EXPECT_EQ(form.gens0->isChecked(), c.checked[2]) << c.lines[0] << c.lines[1] << c.lines[2];
    }
    EXPECT_TRUE(ui.errors.empty());
}

struct ClampCase {
    int line;
    const char* text;
    int position;
    TrackBar* TForm1::*bar;
};

TEST_F(SceneFiles, TrackBarsClampWhatTheFileHolds) {
    const ClampCase cases[] = {
        {1, "91", 90, &TForm1::thetachanger}, {1, "-2147483648", -90, &TForm1::thetachanger},
        {2, "181", 180, &TForm1::phichanger}, {2, "-181", -180, &TForm1::phichanger},
        {3, "4", 5, &TForm1::numpoints},      {3, "2147483647", 50, &TForm1::numpoints},
        {4, "9", 10, &TForm1::numzoom},       {4, "31", 30, &TForm1::numzoom},
        {6, "19", 20, &TForm1::fpschanger},   {6, "1001", 1000, &TForm1::fpschanger},
        {6, "500", 500, &TForm1::fpschanger},
    };
    for (const ClampCase& c : cases) {
        Lines lines = kDefaultLines;
        lines[static_cast<std::size_t>(c.line - 1)] = c.text;
        openLines(lines);
        EXPECT_EQ((form.*c.bar)->position(), c.position) << "line " << c.line << " = " << c.text;
    }
    // A loaded interval waits for the next start.
    EXPECT_EQ(form.Timer1.interval(), 0);
    EXPECT_TRUE(ui.errors.empty());
}

struct SpeedCase {
    const char* text;
    int barBefore;
    int position;
    double speed;
};

// The speed always follows the bar, so neither 0 nor a value the bar cannot show survives Open.
TEST_F(SceneFiles, WaveSpeedFollowsTheVelocityBar) {
    const SpeedCase cases[] = {
        {"35", 20, 35, 3.5}, {"80", 20, 50, 5.0}, {"80", 50, 50, 5.0}, {"0", 20, 5, 0.5},
        {"0", 5, 5, 0.5},    {"-7", 20, 5, 0.5},  {"-7", 5, 5, 0.5},   {"20", 20, 20, 2.0},
    };
    for (const SpeedCase& c : cases) {
        form.velocitychanger->setPosition(c.barBefore);
        setWaveSpeed(form.scene, 999);
        Lines lines = kDefaultLines;
        lines[4] = c.text;
        openLines(lines);
        EXPECT_EQ(form.velocitychanger->position(), c.position) << c.text << " from " << c.barBefore;
        for (int k = 1; k <= kSourceCount; ++k) {
            EXPECT_EQ(form.scene.source(k).speed, c.speed) << c.text << " from " << c.barBefore;
        }
    }
    EXPECT_TRUE(ui.errors.empty());
}

// Only an existing regular file is read; anything else ends Open silently and changes nothing.
TEST_F(SceneFiles, OpenIgnoresNamesThatAreNotFiles) {
    ASSERT_EQ(::mkfifo(file("pipe.rsd").c_str(), 0600), 0);
    std::filesystem::create_directory(file("folder.rsd"));
    std::filesystem::create_symlink(file("pipe.rsd"), file("link.rsd"));
    form.scene.source(4).x = 3;
    const Lines before = snapshot(form);
    for (const char* name : {"missing.rsd", "folder.rsd", "pipe.rsd", "link.rsd", "/dev/zero", ""}) {
        ui.fileReplies.push_back(testing::ScriptedInteraction::ok(
            name[0] == '/' || name[0] == '\0' ? QString::fromLatin1(name) : qfile(name)));
        form.OpenO1->trigger();
        EXPECT_EQ(snapshot(form), before) << name;
    }
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_FALSE(form.openSceneFile(qfile("missing.rsd")));

    // A link to a scene file is a scene file.
    test::writeBytes(file("real.rsd"), joined(distinctLines()));
    std::filesystem::create_symlink(file("real.rsd"), file("alias"));
    EXPECT_TRUE(form.openSceneFile(qfile("alias")));
    EXPECT_EQ(form.scene.source(4).phase, 1037);
}

TEST_F(SceneFiles, SaveThatCannotCreateTheFileNamesItAndKeepsTheOldOne) {
    struct Case {
        const char* typed;
        const char* shown;
        bool fails;
        bool modeBound; // decided by permission bits, which root ignores (a read-only file binds all)
    };
    std::filesystem::create_directory(file("folder.rsd"));
    test::writeBytes(file("locked.rsd"), "old\r\n");
    ::chmod(file("locked.rsd").c_str(), 0444);
    // Open to all, so only the target's mode stops the save, as "fresh" shows.
    ::chmod(dir.file("").c_str(), 0777);
    const Case cases[] = {{"fresh", "fresh.rsd", false, true},
                          {"locked", "locked.rsd", true, false},
                          {"folder", "folder.rsd", true, false},
                          {"no/such/x", "no/such/x.rsd", true, false}};
    bool skipped = false;
    for (const Case& c : cases) {
        // The error boxes, the extended name the dialog keeps, and that the lines were prepared.
        const auto attempt = [&] {
            ui.errors.clear();
            save(c.typed);
            std::string seen;
            for (const QString& text : errorTexts()) {
                seen += text.toStdString() + "\n";
            }
            return seen + form.SaveDialog1.fileName().toStdString() + " " +
                   std::to_string(form.saver->lines().size());
        };
        const std::optional<std::string> outcome = c.modeBound ? test::asUnprivileged(attempt) : attempt();
        if (!outcome) {
            skipped = true;
            continue;
        }
        const std::string error = c.fails ? "ファイル " + file(c.shown) + " を作成できません.\n" : "";
        EXPECT_EQ(*outcome, error + file(c.shown) + " 37") << c.typed;
    }
    EXPECT_EQ(test::readBytes(file("locked.rsd")), "old\r\n");
    if (skipped) {
        GTEST_SKIP() << "running with permission override (root): the read-only-file case cannot fail here";
    }
}

TEST_F(SceneFiles, SaveThatStopsShortReportsItAndKeepsTheOldFile) {
    test::writeBytes(file("scene.rsd"), "old\r\n");
    form.saveBlockWriter = [](std::string_view block, const SceneWriteFn& write) {
        return write(block.substr(0, block.size() / 2));
    };
    save("scene");
    ASSERT_EQ(errorTexts(), std::vector<QString>{QStringLiteral("ストリームへの書き込みエラー.")});
    EXPECT_EQ(test::readBytes(file("scene.rsd")), "old\r\n");
    EXPECT_EQ(dir.names(), std::vector<std::string>{"scene.rsd"});
}

// A really full disk: the failure shows up only when the bytes reach it, and must still be reported.
TEST_F(SceneFiles, SaveOnAFullDiskReportsItAndKeepsTheOldFile) {
    struct Case {
        const char* what;
        std::string old;
        bool noFreeName; // the folder takes no new name, so the file is rewritten in place
        bool fails;
    };
    const Case cases[] = {
        {"beside it", "old scene\r\n", false, true},
        {"in place", "", true, true},
        {"in place, within the old file's room", std::string(200, '9'), true, false},
    };
    for (const Case& c : cases) {
        test::SmallFileSystem fs;
        if (!fs.mounted()) GTEST_SKIP() << "cannot mount a small tmpfs here (needs root)";
        const std::string path = fs.file("scene.rsd");
        test::writeBytes(path, c.old);
        ::chmod(path.c_str(), 0640);
        fs.fillPages();
        if (c.noFreeName) fs.fillNames();
        ui.errors.clear();
        ui.fileReplies.push_back(testing::ScriptedInteraction::ok(QString::fromStdString(path)));
        form.SaveS1->trigger();
        EXPECT_EQ(errorTexts(), c.fails
                                    ? std::vector<QString>{QStringLiteral("ストリームへの書き込みエラー.")}
                                    : std::vector<QString>{})
            << c.what;
        EXPECT_EQ(test::readBytes(path), c.fails ? c.old : joined(kDefaultLines)) << c.what;
        EXPECT_EQ(test::modeOf(path), S_IFREG | 0640u) << c.what;
        EXPECT_EQ(fs.names(), std::vector<std::string>{"scene.rsd"}) << c.what;
    }
}

} // namespace
} // namespace rs
