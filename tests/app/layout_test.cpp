// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// Every control of the main window against the window's description: one row per control.

#include "app/sound.h"
#include "tests/ui/scripted_interaction.h"
#include "ui/group_box.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFontInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <string>

namespace rs {
namespace {

struct Range {
    int minimum, maximum, position, lineStep, pageStep;
};

struct Control {
    const char* name;
    QWidget* (*get)(TForm1&);
    const char* parent;
    QRect geometry;
    const char* caption; // nullptr: none to check
    int tab;             // -1: takes no focus
    std::optional<Range> range = std::nullopt;
    std::optional<bool> checked = std::nullopt;
    bool hidden = false;
};

#define MEMBER(m) #m, [](TForm1 & f) -> QWidget* { return f.m; }

// The button row of one source group; (72, 40) stays empty.
#define SOURCE_BUTTONS(k)                                                                                    \
    Control{MEMBER(bt_##k##_x), "GroupBox" #k, {8, 16, 64, 24}, "X:0", 0},                                   \
        Control{MEMBER(bt_##k##_y), "GroupBox" #k, {72, 16, 64, 24}, "Y:0", 1},                              \
        Control{MEMBER(bt_##k##_a), "GroupBox" #k, {8, 40, 64, 24}, "A:0", 2},                               \
        Control{MEMBER(bt_##k##_o), "GroupBox" #k, {8, 64, 64, 24}, "ω:0", 3}, Control {                     \
        MEMBER(bt_##k##_p), "GroupBox" #k, {72, 64, 64, 24}, "Φ:0", 4                                        \
    }

const Control kControls[] = {
    {MEMBER(graph), "client", {8, 8, 601, 601}, nullptr, -1},
    {MEMBER(saver), "client", {8, 8, 121, 97}, nullptr, -1, std::nullopt, std::nullopt, true},
    {MEMBER(BitBtn1), "client", {656, 8, 313, 33}, "スタート/ストップ", 0},
    {MEMBER(phichanger),
     "client",
     {8, 616, 601, 33},
     nullptr,
     -1,
     Range{-180, 180, 30, 5, 15},
     std::nullopt,
     true},
    {MEMBER(thetachanger),
     "client",
     {616, 8, 33, 601},
     nullptr,
     -1,
     Range{-90, 90, -30, 5, 15},
     std::nullopt,
     true},
    {MEMBER(Panel1), "client", {656, 48, 313, 497}, nullptr, -1},
    {MEMBER(GroupBox1), "Panel1", {8, 8, 145, 97}, "波源1", 0},
    {MEMBER(GroupBox2), "Panel1", {160, 8, 145, 97}, "波源2", 1},
    {MEMBER(GroupBox3), "Panel1", {8, 112, 145, 97}, "波源3", 2},
    {MEMBER(GroupBox4), "Panel1", {160, 112, 145, 97}, "波源4", 3},
    SOURCE_BUTTONS(1),
    SOURCE_BUTTONS(2),
    SOURCE_BUTTONS(3),
    SOURCE_BUTTONS(4),
    {MEMBER(gr_gensui), "Panel1", {8, 216, 145, 73}, "減衰のしかた", 4},
    {MEMBER(gens1), "gr_gensui", {8, 16, 129, 17}, "距離に反比例", 0, std::nullopt, false},
    {MEMBER(gens2), "gr_gensui", {8, 32, 129, 17}, "距離の√に反比例", 1, std::nullopt, true},
    {MEMBER(gens0), "gr_gensui", {8, 48, 129, 17}, "決して減衰しない", 2, std::nullopt, false},
    {MEMBER(gr_byouga), "Panel1", {8, 296, 145, 193}, "描画のしかた", 5},
    {MEMBER(numpoints), "gr_byouga", {8, 56, 25, 113}, nullptr, 0, Range{5, 50, 20, 1, 2}},
    {MEMBER(numzoom), "gr_byouga", {40, 56, 25, 113}, nullptr, 1, Range{10, 30, 15, 1, 2}},
    {MEMBER(velocitychanger), "gr_byouga", {72, 56, 25, 113}, nullptr, 2, Range{5, 50, 20, 1, 2}},
    {MEMBER(fpschanger), "gr_byouga", {104, 56, 25, 113}, nullptr, 3, Range{20, 1000, 200, 0, 20}},
    {MEMBER(Label1), "gr_byouga", {5, 21, 24, 12}, "点数", -1},
    {MEMBER(Label2), "gr_byouga", {37, 21, 24, 12}, "追越", -1},
    {MEMBER(Label3), "gr_byouga", {72, 21, 24, 12}, "波速", -1},
    {MEMBER(Label4), "gr_byouga", {105, 21, 24, 12}, "処理", -1},
    {MEMBER(Label5), "gr_byouga", {9, 41, 16, 16}, "少", -1},
    {MEMBER(Label6), "gr_byouga", {41, 41, 16, 16}, "避", -1},
    {MEMBER(Label7), "gr_byouga", {73, 41, 16, 16}, "遅", -1},
    {MEMBER(Label8), "gr_byouga", {105, 41, 16, 16}, "忙", -1},
    {MEMBER(Label9), "gr_byouga", {9, 169, 16, 16}, "多", -1},
    {MEMBER(Label10), "gr_byouga", {41, 169, 16, 16}, "許", -1},
    {MEMBER(Label11), "gr_byouga", {73, 169, 16, 16}, "速", -1},
    {MEMBER(Label12), "gr_byouga", {105, 169, 16, 16}, "暇", -1},
    {MEMBER(GroupBox5), "Panel1", {160, 216, 145, 89}, "描画するもの", 6},
    {MEMBER(ch_baishitsu), "GroupBox5", {8, 16, 129, 17}, "媒質", 0, std::nullopt, true},
    {MEMBER(ch_bashi), "GroupBox5", {8, 32, 129, 17}, "媒質の足", 3, std::nullopt, true},
    {MEMBER(ch_suihei), "GroupBox5", {8, 48, 129, 17}, "描画不能の×印", 1, std::nullopt, true},
    {MEMBER(ch_seibun), "GroupBox5", {8, 64, 129, 17}, "変位の成分", 2, std::nullopt, true},
    {MEMBER(opt), "Panel1", {160, 312, 145, 177}, "オプション", 7},
    {MEMBER(ch_2cut), "opt", {8, 16, 129, 17}, "波源2つにして高速化", 0, std::nullopt, false},
    {MEMBER(ch_guruguru), "opt", {8, 32, 129, 17}, "背景バラ色", 1, std::nullopt, false},
    {MEMBER(ch_rect), "opt", {8, 48, 129, 17}, "媒質を四角くする", 2, std::nullopt, false},
    {MEMBER(ch_koma), "opt", {8, 64, 129, 17}, "コマ送り", 3, std::nullopt, false},
};

QString captionOf(const QWidget* w) {
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) {
        return b->text();
    }
    if (auto* g = qobject_cast<const QGroupBox*>(w)) {
        return g->title();
    }
    if (auto* l = qobject_cast<const QLabel*>(w)) {
        return l->text();
    }
    return QString();
}

class MainWindow : public ::testing::Test {
  protected:
    testing::ScriptedInteraction ui;
    TForm1 form{ui};

    void showForm() {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
};

TEST_F(MainWindow, EveryControlStandsAsDescribed) {
    showForm();
    for (const Control& c : kControls) {
        SCOPED_TRACE(c.name);
        QWidget* w = c.get(form);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->objectName(), QString::fromUtf8(c.name));
        ASSERT_NE(w->parentWidget(), nullptr);
        EXPECT_EQ(w->parentWidget()->objectName(), QString::fromUtf8(c.parent));
        EXPECT_EQ(w->geometry(), c.geometry);
        if (c.caption != nullptr) {
            EXPECT_EQ(captionOf(w), QString::fromUtf8(c.caption));
        }
        if (c.range) {
            auto* bar = dynamic_cast<TrackBar*>(w);
            ASSERT_NE(bar, nullptr);
            EXPECT_EQ(bar->minimum(), c.range->minimum);
            EXPECT_EQ(bar->maximum(), c.range->maximum);
            EXPECT_EQ(bar->position(), c.range->position);
            EXPECT_EQ(bar->singleStep(), c.range->lineStep);
            EXPECT_EQ(bar->pageStep(), c.range->pageStep);
        }
        if (c.checked) {
            auto* box = qobject_cast<QAbstractButton*>(w);
            ASSERT_NE(box, nullptr);
            EXPECT_TRUE(box->isCheckable());
            EXPECT_EQ(box->isChecked(), *c.checked);
        }
        EXPECT_EQ(w->isVisible(), !c.hidden);
        if (c.hidden) {
            EXPECT_EQ(w->focusPolicy(), Qt::NoFocus);
        }
    }
}

// What a screen reader is told about each control: role, name and, for sliders and check marks, the
// value (the position; 1 or 0 for checked or not). Nothing of it is drawn.
struct Spoken {
    const char* name;
    QWidget* (*get)(TForm1&);
    QAccessible::Role role;
    const char* said;
    std::optional<int> value = std::nullopt;
};

#define SOURCE_SPOKEN(k)                                                                                     \
    Spoken{MEMBER(bt_##k##_x), QAccessible::Button, "波源" #k "のx座標 0"},                                  \
        Spoken{MEMBER(bt_##k##_y), QAccessible::Button, "波源" #k "のy座標 0"},                              \
        Spoken{MEMBER(bt_##k##_a), QAccessible::Button, "波源" #k "の振幅 0"},                               \
        Spoken{MEMBER(bt_##k##_o), QAccessible::Button, "波源" #k "の角振動数 0"}, Spoken {                  \
        MEMBER(bt_##k##_p), QAccessible::Button, "波源" #k "の位相差[degree] 0"                          \
    }

const Spoken kSpoken[] = {
    {MEMBER(graph), QAccessible::Graphic, "波の図"},
    {MEMBER(BitBtn1), QAccessible::Button, "スタート/ストップ"},
    {MEMBER(GroupBox1), QAccessible::Grouping, "波源1"},
    {MEMBER(GroupBox2), QAccessible::Grouping, "波源2"},
    {MEMBER(GroupBox3), QAccessible::Grouping, "波源3"},
    {MEMBER(GroupBox4), QAccessible::Grouping, "波源4"},
    SOURCE_SPOKEN(1),
    SOURCE_SPOKEN(2),
    SOURCE_SPOKEN(3),
    SOURCE_SPOKEN(4),
    {MEMBER(gr_gensui), QAccessible::Grouping, "減衰のしかた"},
    {MEMBER(gens1), QAccessible::RadioButton, "距離に反比例", 0},
    {MEMBER(gens2), QAccessible::RadioButton, "距離の√に反比例", 1},
    {MEMBER(gens0), QAccessible::RadioButton, "決して減衰しない", 0},
    {MEMBER(gr_byouga), QAccessible::Grouping, "描画のしかた"},
    {MEMBER(numpoints), QAccessible::Slider, "点数（少〜多）", 20},
    {MEMBER(numzoom), QAccessible::Slider, "追越（避〜許）", 15},
    {MEMBER(velocitychanger), QAccessible::Slider, "波速（遅〜速）", 20},
    {MEMBER(fpschanger), QAccessible::Slider, "処理（忙〜暇）", 200},
    {MEMBER(GroupBox5), QAccessible::Grouping, "描画するもの"},
    {MEMBER(ch_baishitsu), QAccessible::CheckBox, "媒質", 1},
    {MEMBER(ch_bashi), QAccessible::CheckBox, "媒質の足", 1},
    {MEMBER(ch_suihei), QAccessible::CheckBox, "描画不能の×印", 1},
    {MEMBER(ch_seibun), QAccessible::CheckBox, "変位の成分", 1},
    {MEMBER(opt), QAccessible::Grouping, "オプション"},
    {MEMBER(ch_2cut), QAccessible::CheckBox, "波源2つにして高速化", 0},
    {MEMBER(ch_guruguru), QAccessible::CheckBox, "背景バラ色", 0},
    {MEMBER(ch_rect), QAccessible::CheckBox, "媒質を四角くする", 0},
    {MEMBER(ch_koma), QAccessible::CheckBox, "コマ送り", 0},
};

std::optional<int> spokenValue(QAccessibleInterface* a) {
    if (QAccessibleValueInterface* v = a->valueInterface()) return v->currentValue().toInt();
    if (a->state().checkable) return a->state().checked ? 1 : 0;
    return std::nullopt;
}

bool hasJapanese(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= 0x3000 && u <= 0x30FF) || (u >= 0x3400 && u <= 0x9FFF) || (u >= 0xFF00 && u <= 0xFFEF);
    });
}

void collectFocusable(QAccessibleInterface* a, std::set<QObject*>& found) {
    if (a->state().focusable && !a->state().invisible) found.insert(a->object());
    for (int i = 0; i < a->childCount(); ++i) {
        if (QAccessibleInterface* child = a->child(i)) collectFocusable(child, found);
    }
}

TEST_F(MainWindow, EveryControlTellsAScreenReaderWhatItIsInJapanese) {
    showForm();
    std::set<QObject*> listed;
    for (const Spoken& c : kSpoken) {
        SCOPED_TRACE(c.name);
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(c.get(form));
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->role(), c.role);
        EXPECT_EQ(a->text(QAccessible::Name), QString::fromUtf8(c.said));
        EXPECT_EQ(spokenValue(a), c.value);
        listed.insert(c.get(form));
    }
    const QString description =
        QAccessible::queryAccessibleInterface(form.graph)->text(QAccessible::Description);
    EXPECT_TRUE(hasJapanese(description)) << description.toStdString();

    // Whatever a screen reader can move to is in the table, so none is left without its name.
    std::set<QObject*> focusable;
    collectFocusable(QAccessible::queryAccessibleInterface(&form), focusable);
    EXPECT_EQ(focusable.size(), 36u);
    for (QObject* object : focusable) {
        EXPECT_EQ(listed.count(object), 1u) << object->objectName().toStdString();
    }
}

TEST_F(MainWindow, TabWalksTheControlsInTheirTabOrderAndNeverReachesHiddenOnes) {
    // The expected walk: depth first through parents, each level by tab order.
    auto tabOf = [](const QWidget* w) {
        for (const Control& c : kControls) {
            if (w->objectName() == QString::fromUtf8(c.name)) {
                return c.tab;
            }
        }
        return -1;
    };
    auto pathOf = [&](const QWidget* w) {
        std::vector<int> path;
        for (const QWidget* p = w; p != nullptr && p->objectName() != QStringLiteral("client");
             p = p->parentWidget()) {
            path.insert(path.begin(), tabOf(p) < 0 ? 4 : tabOf(p)); // Panel1 is tab 4 of the window
        }
        return path;
    };
    std::vector<QWidget*> expected;
    for (const Control& c : kControls) {
        QWidget* w = c.get(form);
        // Of a set of radio buttons only the checked one is a Tab stop; arrows move inside the set.
        auto* radio = qobject_cast<QRadioButton*>(w);
        if (radio != nullptr && !radio->isChecked()) {
            continue;
        }
        if (c.tab >= 0 && w->focusPolicy() != Qt::NoFocus && !qobject_cast<QGroupBox*>(w)) {
            expected.push_back(w);
        }
    }
    std::stable_sort(expected.begin(), expected.end(),
                     [&](const QWidget* a, const QWidget* b) { return pathOf(a) < pathOf(b); });
    ASSERT_EQ(expected.size(), 34u);

    showForm();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.BitBtn1->setFocus(Qt::TabFocusReason);
    std::vector<QWidget*> walked = {QApplication::focusWidget()};
    for (std::size_t i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walked.push_back(QApplication::focusWidget());
    }
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(walked[i]->objectName().toStdString(), expected[i]->objectName().toStdString())
            << "step " << i;
    }
    for (const QWidget* hidden : {static_cast<QWidget*>(form.saver), static_cast<QWidget*>(form.phichanger),
                                  static_cast<QWidget*>(form.thetachanger)}) {
        EXPECT_EQ(std::count(walked.begin(), walked.end(), hidden), 0);
    }
}

TEST_F(MainWindow, ReturnAndEnterPressAFocusedButtonLikeSpace) {
    struct KeyCase {
        QPushButton* TForm1::*button;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int autoRepeats; // extra presses while the key is held
        bool presses;
    };
    const KeyCase cases[] = {
        {&TForm1::bt_1_x, Qt::Key_Return, Qt::NoModifier, 0, true},
        {&TForm1::bt_4_p, Qt::Key_Enter, Qt::KeypadModifier, 0, true},
        {&TForm1::bt_2_a, Qt::Key_Space, Qt::NoModifier, 0, true},
        {&TForm1::bt_3_y, Qt::Key_Return, Qt::ControlModifier, 0, false},
        {&TForm1::BitBtn1, Qt::Key_Return, Qt::NoModifier, 0, true},
        {&TForm1::BitBtn1, Qt::Key_Enter, Qt::KeypadModifier, 0, true},
        {&TForm1::BitBtn1, Qt::Key_Return, Qt::NoModifier, 3, true}, // held down: one press
        {&TForm1::BitBtn1, Qt::Key_Return, Qt::AltModifier, 0, false},
    };
    showForm();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    for (const KeyCase& c : cases) {
        QPushButton* button = form.*c.button;
        SCOPED_TRACE(button->objectName().toStdString() + " " +
                     QKeySequence(QKeyCombination(c.modifiers, c.key)).toString().toStdString() +
                     " repeats " + std::to_string(c.autoRepeats));
        button->setFocus(Qt::TabFocusReason);
        ASSERT_EQ(QApplication::focusWidget(), button);
        const qsizetype promptsBefore = ui.prompts.size();
        const bool runningBefore = form.Timer1.interval() != 0;

        // Through the window, as the platform delivers keys, to whatever has the focus.
        QTest::keyPress(form.windowHandle(), c.key, c.modifiers);
        for (int i = 0; i < c.autoRepeats; ++i) {
            QKeyEvent again(QEvent::KeyPress, c.key, c.modifiers, QString(), true);
            QApplication::sendEvent(button, &again);
        }
        QTest::keyRelease(form.windowHandle(), c.key, c.modifiers);

        if (button == form.BitBtn1) {
            EXPECT_EQ(form.Timer1.interval() != 0, runningBefore != c.presses);
            EXPECT_EQ(ui.prompts.size(), promptsBefore);
        } else {
            ASSERT_EQ(ui.prompts.size(), promptsBefore + (c.presses ? 1 : 0));
            if (c.presses) {
                EXPECT_TRUE(
                    ui.prompts.back().startsWith(QStringLiteral("波源") + button->objectName().at(3)));
            }
        }
        EXPECT_FALSE(button->isDown());
    }
    EXPECT_TRUE(ui.errors.empty());
}

TEST_F(MainWindow, ChildrenAreCreatedInStackingOrder) {
    const std::vector<std::pair<QWidget*, QStringList>> levels = {
        {form.centralWidget(), {"graph", "saver", "BitBtn1", "phichanger", "thetachanger", "Panel1"}},
        {form.Panel1,
         {"GroupBox4", "GroupBox2", "GroupBox1", "GroupBox3", "gr_gensui", "gr_byouga", "GroupBox5", "opt"}},
    };
    for (const auto& [parent, names] : levels) {
        QStringList children;
        for (const QObject* child : parent->children()) {
            if (child->isWidgetType()) {
                children.append(child->objectName());
            }
        }
        EXPECT_EQ(children, names);
    }
}

TEST_F(MainWindow, MenuHasFourItemsWithAccessLettersOnly) {
    EXPECT_EQ(form.FileF1->title(), QStringLiteral("File(&F)"));
    EXPECT_TRUE(form.FileF1->menuAction()->isEnabled());
    EXPECT_EQ(form.MainMenu1->actions(), QList<QAction*>{form.FileF1->menuAction()});
    const QList<QAction*> items = form.FileF1->actions();
    ASSERT_EQ(items.size(), 4);
    const QAction* expected[] = {form.OpenO1, form.SaveS1, form.N1, form.QuitQ1};
    const char* captions[] = {"Open(&O)", "Save(&S)", "", "Quit(&Q)"};
    const char* names[] = {"OpenO1", "SaveS1", "N1", "QuitQ1"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(items[i], expected[i]);
        EXPECT_EQ(items[i]->objectName(), QString::fromLatin1(names[i]));
        EXPECT_EQ(items[i]->text(), QString::fromUtf8(captions[i]));
        EXPECT_EQ(items[i]->isSeparator(), i == 2);
        EXPECT_TRUE(items[i]->shortcut().isEmpty());
    }
}

TEST_F(MainWindow, WindowTitleSizeTimerAndDialogs) {
    showForm();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Ripplescope"));
    EXPECT_EQ(form.centralWidget()->size(), QSize(974, 649));
    EXPECT_FALSE(form.windowIcon().isNull());
    EXPECT_EQ(form.windowIcon().pixmap(32, 32).size(), QSize(32, 32));
    EXPECT_EQ(form.Timer1.interval(), 0);
    EXPECT_FALSE(form.Timer1.qtimer().isActive());
    const QString filter = QStringLiteral("Ripplescopeデータ[*.rsd] (*.rsd)");
    EXPECT_EQ(form.OpenDialog1.filter(), filter);
    EXPECT_EQ(form.SaveDialog1.filter(), filter);
    EXPECT_TRUE(form.OpenDialog1.fileName().isEmpty());
}

TEST_F(MainWindow, ResizingMovesAndStretchesNothing) {
    showForm();
    for (const QSize size : {QSize(500, 300), QSize(1400, 1000)}) {
        form.resize(size);
        QCoreApplication::processEvents();
        for (const Control& c : kControls) {
            EXPECT_EQ(c.get(form)->geometry(), c.geometry) << c.name << " at " << size.width();
        }
    }
}

TEST_F(MainWindow, FontsResolveToTheJapaneseProportionalGothic) {
    showForm();
    struct FontCase {
        QWidget* widget;
        int pixelSize;
    };
    const FontCase cases[] = {
        {form.BitBtn1, 12}, {form.GroupBox1, 12}, {form.bt_3_o, 12},  {form.Label1, 12},
        {form.Label5, 16},  {form.Label12, 16},   {form.ch_2cut, 12}, {form.gens2, 12},
    };
    for (const FontCase& c : cases) {
        const QFontInfo info(c.widget->font());
        EXPECT_EQ(info.family(), QStringLiteral("IPAPGothic")) << c.widget->objectName().toStdString();
        EXPECT_EQ(info.pixelSize(), c.pixelSize) << c.widget->objectName().toStdString();
    }
}

// Pixels inside r clearly tinted towards the pure colour c: every channel that c has at full strength
// stands well above every channel that c lacks. Antialiased text in c qualifies; grey and black do not.
int countTinted(const QImage& image, const QRect& r, QRgb c) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            const int channels[] = {qRed(p), qGreen(p), qBlue(p)};
            const int wanted[] = {qRed(c), qGreen(c), qBlue(c)};
            int lowestFull = 255;
            int highestEmpty = 0;
            for (int i = 0; i < 3; ++i) {
                if (wanted[i] == 255) {
                    lowestFull = std::min(lowestFull, channels[i]);
                } else {
                    highestEmpty = std::max(highestEmpty, channels[i]);
                }
            }
            n += lowestFull - highestEmpty > 80 ? 1 : 0;
        }
    }
    return n;
}

TEST_F(MainWindow, SourceCaptionsAloneTakeTheSourceColours) {
    showForm();
    struct ColourCase {
        QGroupBox* group;
        QPushButton* button;
        QRgb colour;
    };
    const ColourCase cases[] = {
        {form.GroupBox1, form.bt_1_x, qRgb(0x00, 0xFF, 0x00)},
        {form.GroupBox2, form.bt_2_x, qRgb(0xFF, 0x00, 0xFF)},
        {form.GroupBox3, form.bt_3_x, qRgb(0xFF, 0xFF, 0x00)},
        {form.GroupBox4, form.bt_4_x, qRgb(0x00, 0xFF, 0xFF)},
    };
    for (const ColourCase& c : cases) {
        SCOPED_TRACE(c.group->objectName().toStdString());
        const QImage image = c.group->grab().toImage();
        const QRect caption = static_cast<GroupBox*>(c.group)->captionRect();
        EXPECT_GT(countTinted(image, caption, c.colour), 10);
        EXPECT_EQ(countTinted(image, c.button->geometry(), c.colour), 0);
        EXPECT_EQ(c.button->palette().color(QPalette::ButtonText),
                  form.BitBtn1->palette().color(QPalette::ButtonText));
    }
}

} // namespace
} // namespace rs
