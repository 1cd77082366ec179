// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "tests/ui/scripted_interaction.h"
#include "ui/application.h"
#include "ui/dispatch_guard.h"
#include "ui/interval_timer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <stdexcept>

namespace rs {
namespace {

struct PeriodCase {
    const char* message;
    const char* shown;
};

TEST(ErrorBoxText, AppendsPeriodOnlyAfterCharactersAboveIt) {
    const PeriodCase cases[] = {
        {"", ""},
        {"整数ではありません", "整数ではありません."}, // Japanese last character
        {"I/O エラー (5)", "I/O エラー (5)"},          // ')' sorts below '.'
        {"done.", "done."},
        {"a-", "a-"},  // '-' is just below '.'
        {"a/", "a/."}, // '/' is just above '.'
        {"value 7", "value 7."},
        {"trailing ", "trailing "},
        {"ｶﾅ", "ｶﾅ."},      // half-width katakana: one byte above 0x7F in the code page
        {"x😀", "x😀."},      // a character outside the BMP ends in a low surrogate
        {"'abc'", "'abc'"}, // the quote sorts below '.'
    };
    for (const PeriodCase& c : cases) {
        EXPECT_EQ(errorBoxText(QString::fromUtf8(c.message)), QString::fromUtf8(c.shown)) << c.message;
    }
}

struct ThrowCase {
    const char* what;
    void (*raise)();
    const char* shown;
};

TEST(DispatchGuard, ShowsEveryEscapingErrorAndSkipsTheRestOfTheHandler) {
    const ThrowCase cases[] = {
        {"runtime_error", [] { throw std::runtime_error("ファイル abc がありません"); },
         "ファイル abc がありません."},
        {"timer", [] { throw TimerError(); }, "タイマーを取得できません."},
        {"io", [] { throw std::runtime_error("I/O エラー (13)"); }, "I/O エラー (13)"},
        {"not std", [] { throw 42; }, "不明なエラー."},
    };
    for (const ThrowCase& c : cases) {
        testing::ScriptedInteraction ui;
        DispatchGuard guard(ui);
        int before = 0;
        int after = 0;
        guard.run([&] {
            ++before;
            c.raise();
            ++after;
        });
        EXPECT_EQ(before, 1) << c.what;
        EXPECT_EQ(after, 0) << c.what;
        ASSERT_EQ(ui.errors.size(), 1u) << c.what;
        EXPECT_EQ(ui.errors[0].caption, QStringLiteral("Ripplescope")) << c.what;
        EXPECT_EQ(ui.errors[0].text, QString::fromUtf8(c.shown)) << c.what;
    }
}

TEST(DispatchGuard, ReleasesTheMouseBeforeShowingTheBox) {
    testing::ScriptedInteraction ui;
    DispatchGuard guard(ui);
    QWidget widget;
    widget.show();
    widget.grabMouse();
    ASSERT_EQ(QWidget::mouseGrabber(), &widget);
    guard.run([] { throw std::runtime_error("x"); });
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

// An object whose event handling fails outside any guard.
class Failing final : public QObject {
  public:
    int delivered = 0;
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) {
            throw std::runtime_error("イベント");
        }
        if (e->type() == QEvent::Type(QEvent::User + 1)) {
            ++delivered;
            return true;
        }
        return QObject::event(e);
    }
};

TEST(Application, SafetyNetShowsErrorsThatEscapeAnEventAndCarriesOn) {
    auto* app = dynamic_cast<Application*>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    testing::ScriptedInteraction ui;
    app->setErrorReporter(&ui);

    Failing target;
    QEvent failing(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&target, &failing));
    QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&target, new QEvent(QEvent::Type(QEvent::User + 1)));
    QCoreApplication::sendPostedEvents(&target);
    app->setErrorReporter(nullptr);

    ASSERT_EQ(ui.errors.size(), 2u);
    EXPECT_EQ(ui.errors[0].caption, QStringLiteral("Ripplescope"));
    EXPECT_EQ(ui.errors[0].text, QStringLiteral("イベント."));
    EXPECT_EQ(target.delivered, 1);
}

TEST(Application, NamesItselfWithoutTaggingOtherWindowsTitles) {
    // A display name of its own would be appended by the desktop to every other title ("入力 — …").
    EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("Ripplescope"));
    QCoreApplication::setApplicationName(QStringLiteral("probe"));
    const QString shown = QGuiApplication::applicationDisplayName();
    QCoreApplication::setApplicationName(QStringLiteral("Ripplescope"));
    EXPECT_EQ(shown, QStringLiteral("probe"));
}

} // namespace
} // namespace rs
