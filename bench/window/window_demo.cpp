// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// Drives the window the way a user would for the animation picture in docs/: types two sources into
// the real prompts, starts the animation and prints "ready" once frames are running, then keeps
// animating until it is killed. scripts/screenshot-animation grabs the screen at that point.

#include "app/sound.h"
#include "ui/application.h"
#include "ui/qt_interaction.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <deque>
#include <utility>

int main() {
    int argc = 1;
    char name[] = "window_demo";
    char* argv[] = {name, nullptr};
    rs::Application app(argc, argv);
    rs::QtInteraction dialogs;
    rs::TForm1 form(dialogs);
    form.show();

    std::deque<std::pair<QPushButton*, QString>> typing = {
        {form.bt_1_x, QStringLiteral("-100")}, {form.bt_1_a, QStringLiteral("1000")},
        {form.bt_1_o, QStringLiteral("10")},   {form.bt_2_x, QStringLiteral("100")},
        {form.bt_2_a, QStringLiteral("1000")}, {form.bt_2_o, QStringLiteral("10")},
    };

    // Answers whichever prompt is open with the text meant for it.
    QString answer;
    QTimer typist;
    QObject::connect(&typist, &QTimer::timeout, [&] {
        auto* prompt = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (prompt == nullptr || !prompt->isVisible()) return;
        prompt->findChild<QLineEdit*>()->insert(answer);
        prompt->accept();
    });
    typist.start(20);

    QTimer::singleShot(500, [&] {
        while (!typing.empty()) {
            answer = typing.front().second;
            QPushButton* button = typing.front().first;
            typing.pop_front();
            button->click(); // returns once the prompt has been answered
        }
        typist.stop();
        form.BitBtn1->click();
        const double startedAt = form.scene.simTime;
        auto* watch = new QTimer(&form);
        QObject::connect(watch, &QTimer::timeout, [&form, watch, startedAt] {
            if (form.scene.simTime >= startedAt + 25.0) {
                watch->stop();
                std::printf("ready\n");
                std::fflush(stdout);
            }
        });
        watch->start(50);
    });
    return QApplication::exec();
}
