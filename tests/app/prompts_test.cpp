// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// The twenty source parameter buttons: which field each sets, what it asks, and what typed text stores.

#include "app/sound.h"
#include "tests/ui/scripted_interaction.h"
#include "ui/qt_interaction.h"

#include <QApplication>
#include <QCheckBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <climits>
#include <deque>
#include <optional>

namespace rs {
namespace {

// Records every prompt as asked (caption, prompt, the text the field opens with) and answers from a script.
class PromptScript final : public Interaction {
  public:
    struct Asked {
        QString caption, prompt, initial;
    };
    std::deque<std::optional<QString>> replies; // nothing: cancel
    std::vector<Asked> asked;
    int otherDialogs = 0;

    bool queryText(const QString& caption, const QString& prompt, QString& text) override {
        asked.push_back({caption, prompt, text});
        if (replies.empty()) return false;
        const std::optional<QString> reply = replies.front();
        replies.pop_front();
        if (reply) text = *reply;
        return reply.has_value();
    }
    std::optional<QString> openName(const QString&, const QString&) override {
        ++otherDialogs;
        return std::nullopt;
    }
    std::optional<QString> saveName(const QString&, const QString&) override {
        ++otherDialogs;
        return std::nullopt;
    }
    void showError(const QString&, const QString&) override { ++otherDialogs; }
};

enum Field { X, Y, A, O, P };

std::int32_t fieldOf(const WaveSource& s, Field f) {
    switch (f) {
    case X:
        return s.x;
    case Y:
        return s.y;
    case A:
        return s.amp;
    case O:
        return s.omega;
    case P:
        return s.phase;
    }
    return 0;
}

struct Button {
    QPushButton* TForm1::*button;
    int source;
    Field field;
    const char* prompt;
    const char* prefix;
};

const Button kButtons[] = {
    {&TForm1::bt_1_x, 1, X, "波源1のx座標は？", "X:"},
    {&TForm1::bt_1_y, 1, Y, "波源1のy座標は？", "Y:"},
    {&TForm1::bt_1_a, 1, A, "波源1の振幅は？", "A:"},
    {&TForm1::bt_1_o, 1, O, "波源1の角振動数は？", "ω:"},
    {&TForm1::bt_1_p, 1, P, "波源1の位相差[degree]は？", "Φ:"},
    {&TForm1::bt_2_x, 2, X, "波源2のx座標は？", "X:"},
    {&TForm1::bt_2_y, 2, Y, "波源2のy座標は？", "Y:"},
    {&TForm1::bt_2_a, 2, A, "波源2の振幅は？", "A:"},
    {&TForm1::bt_2_o, 2, O, "波源2の角振動数は？", "ω:"},
    {&TForm1::bt_2_p, 2, P, "波源2の位相差[degree]は？", "Φ:"},
    {&TForm1::bt_3_x, 3, X, "波源3のx座標は？", "X:"},
    {&TForm1::bt_3_y, 3, Y, "波源3のy座標は？", "Y:"},
    {&TForm1::bt_3_a, 3, A, "波源3の振幅は？", "A:"},
    {&TForm1::bt_3_o, 3, O, "波源3の角振動数は？", "ω:"},
    {&TForm1::bt_3_p, 3, P, "波源3の位相差[degree]は？", "Φ:"},
    {&TForm1::bt_4_x, 4, X, "波源4のx座標は？", "X:"},
    {&TForm1::bt_4_y, 4, Y, "波源4のy座標は？", "Y:"},
    {&TForm1::bt_4_a, 4, A, "波源4の振幅は？", "A:"},
    {&TForm1::bt_4_o, 4, O, "波源4の角振動数は？", "ω:"},
    {&TForm1::bt_4_p, 4, P, "波源4の位相差[degree]は？", "Φ:"},
};

QString u8(const char* s) {
    return QString::fromUtf8(s);
}

TEST(SourcePrompts, EachButtonAsksForItsOwnFieldAndShowsWhatWasTyped) {
    PromptScript ui;
    TForm1 form(ui);
    // Two sources only: sources 3 and 4 still take their values.
    form.ch_2cut->setChecked(true);
    for (std::size_t i = 0; i < std::size(kButtons); ++i) {
        const Button& b = kButtons[i];
        const Scene before = form.scene;
        const std::int32_t value = -1000 - static_cast<std::int32_t>(i);
        ui.replies.push_back(QString::number(value));
        QTest::mouseClick(form.*b.button, Qt::LeftButton);

        ASSERT_EQ(ui.asked.size(), i + 1) << b.prompt;
        EXPECT_EQ(ui.asked.back().caption, u8("入力")) << b.prompt;
        EXPECT_EQ(ui.asked.back().prompt, u8(b.prompt));
        EXPECT_TRUE(ui.asked.back().initial.isEmpty()) << b.prompt << ": opens with the current value";
        EXPECT_EQ((form.*b.button)->text(), u8(b.prefix) + QString::number(value)) << b.prompt;
        // A screen reader hears the field the prompt asked for and the new value.
        EXPECT_EQ((form.*b.button)->accessibleName(),
                  u8(b.prompt).chopped(2) + u' ' + QString::number(value));
        for (int k = 1; k <= kSourceCount; ++k) {
            for (const Field f : {X, Y, A, O, P}) {
                const bool target = k == b.source && f == b.field;
                EXPECT_EQ(fieldOf(form.scene.source(k), f), target ? value : fieldOf(before.source(k), f))
                    << b.prompt << ": source " << k << " field " << f;
            }
        }
    }
    EXPECT_EQ(ui.otherDialogs, 0);
}

struct Typed {
    const char* text; // nullptr: cancelled after typing "42"
    std::optional<std::int32_t> stored;
};

TEST(SourcePrompts, TypedTextStoresOnlyWhatConverts) {
    const Typed cases[] = {
        {nullptr, std::nullopt},
        {"", std::nullopt},
        {"7296183", std::nullopt},
        {"+7296183", std::nullopt},
        {"$6F54B7", std::nullopt},
        {"x6f54b7", std::nullopt},
        {"0x6F54B7", std::nullopt},
        {"  07296183", std::nullopt},
        {"-0", 0},
        {"+5", 5},
        {"  42", 42},
        {" 012", 12},
        {"42 ", std::nullopt},
        {"\t42", std::nullopt},
        {"$10", 16},
        {"x1F", 31},
        {"0X1f", 31},
        {"-$10", std::nullopt},
        {"- 5", std::nullopt},
        {"+-5", std::nullopt},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"$FFFFFFFF", -1},
        {"$80000000", INT_MIN},
        {"$000000010", 16},
        {"$100000000", std::nullopt},
        {"$", std::nullopt},
        {"3.5", std::nullopt},
        {"1e3", std::nullopt},
        {"５", std::nullopt},  // full-width five
        {"4５", std::nullopt}, // full-width after a digit
        {"٥", std::nullopt},   // Arabic-Indic five
        {"7296184", 7296184},
        {"-7296183", -7296183},
    };
    for (const Typed& c : cases) {
        PromptScript ui;
        TForm1 form(ui);
        ui.replies.push_back(QStringLiteral("555"));
        form.bt_2_x->click();
        ASSERT_EQ(form.scene.source(2).x, 555);
        ui.replies.push_back(c.text == nullptr ? std::nullopt : std::optional<QString>(u8(c.text)));
        form.bt_2_x->click();

        const char* label = c.text == nullptr ? "(cancel)" : c.text;
        EXPECT_EQ(form.scene.source(2).x, c.stored.value_or(555)) << label;
        EXPECT_EQ(form.bt_2_x->text(), c.stored ? u8("X:") + u8(c.text) : QStringLiteral("X:555")) << label;
        EXPECT_EQ(form.bt_2_x->accessibleName(), u8("波源2のx座標 ") + (c.stored ? u8(c.text) : u8("555")))
            << label;
        EXPECT_EQ(ui.otherDialogs, 0) << label << ": no message for text that does not convert";
    }
}

TEST(SourcePrompts, AnswerChangesNoPictureTimerOrOtherControl) {
    PromptScript ui;
    TForm1 form(ui);
    form.scene.simTime = 12.0;
    form.picture.setBrushColour(0x00123456);
    form.picture.fillRect(0, 0, 601, 601);
    ui.replies.push_back(QStringLiteral("2500"));
    form.bt_1_a->click();
    EXPECT_EQ(form.scene.source(1).amp, 2500);
    EXPECT_EQ(form.picture.pixel(300, 300), 0x00123456u);
    EXPECT_EQ(form.scene.simTime, 12.0);
    EXPECT_EQ(form.Timer1.interval(), 0);
    EXPECT_EQ(form.bt_1_x->text(), QStringLiteral("X:0"));
}

TEST(SourcePrompts, RealPromptLeavesTheAnimationRunningBehindIt) {
    QtInteraction ui;
    TForm1 form(ui);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.fpschanger->setPosition(20);
    QTest::mouseClick(form.BitBtn1, Qt::LeftButton);

    std::optional<double> openedAt;
    double answeredAt = 0.0;
    std::int32_t ampSeenWhileOpen = -1;
    bool failed = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) return;
        if (!openedAt) openedAt = form.scene.simTime;
        if (form.scene.simTime < *openedAt + 5.0) return;
        answeredAt = form.scene.simTime;
        ampSeenWhileOpen = form.scene.source(1).amp;
        poll.stop();
        dialog->findChild<QLineEdit*>()->setText(QStringLiteral("1000"));
        dialog->accept();
    });
    QTimer failSafe;
    failSafe.setSingleShot(true);
    QObject::connect(&failSafe, &QTimer::timeout, [&] {
        failed = true;
        if (auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget())) dialog->reject();
    });
    poll.start(5);
    failSafe.start(20000);
    QTest::mouseClick(form.bt_1_a, Qt::LeftButton); // returns when the prompt has closed

    ASSERT_FALSE(failed) << "no frames were drawn behind the prompt";
    ASSERT_TRUE(openedAt.has_value());
    EXPECT_GE(answeredAt, *openedAt + 5.0);
    EXPECT_EQ(ampSeenWhileOpen, 0) << "the value is stored only once the prompt closes";
    EXPECT_EQ(form.scene.source(1).amp, 1000);
    EXPECT_EQ(form.bt_1_a->text(), QStringLiteral("A:1000"));
    EXPECT_EQ(form.Timer1.interval(), 20);
    QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
}

} // namespace
} // namespace rs
