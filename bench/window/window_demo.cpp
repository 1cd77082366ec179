// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// Drives the window the way a user would for the pictures in docs/, then waits until it is killed.
// Without arguments: types two sources into the real prompts, starts the animation and prints
// "ready" once frames are running; scripts/screenshot-animation grabs the screen at that point.
// With --open-dialog: chooses File > Open and prints "ready X Y W H", the open dialog's place on the
// screen, once the dialog is up; scripts/screenshot-open-dialog grabs that part of the screen.

#include "app/sound.h"
#include "ui/application.h"
#include "ui/qt_interaction.h"

#include <QAction>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <deque>
#include <utility>

namespace {

int showOpenDialog(rs::TForm1& form) {
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&watch] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) return;
        watch.stop();
        // Give the folder listing time to fill in before the picture is taken.
        QTimer::singleShot(1000, dialog, [dialog] {
            const QRect at = dialog->frameGeometry();
            std::printf("ready %d %d %d %d\n", at.x(), at.y(), at.width(), at.height());
            std::fflush(stdout);
        });
    });
    watch.start(20);
    QTimer::singleShot(500, &form, [&form] { form.OpenO1->trigger(); });
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    int qtArgc = 1;
    char name[] = "window_demo";
    char* qtArgv[] = {name, nullptr};
    rs::Application app(qtArgc, qtArgv);
    rs::QtInteraction dialogs;
    rs::TForm1 form(dialogs);
    form.show();
    if (argc > 1 && std::strcmp(argv[1], "--open-dialog") == 0) {
        return showOpenDialog(form);
    }

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
