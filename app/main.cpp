// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// Start-up: the command line, the application object, the title, the one main window, the scene the
// command line names, the event loop, exit code 0.

#include "app/command_line.h"
#include "app/sound.h"
#include "ui/application.h"
#include "ui/platform_start.h"
#include "ui/qt_interaction.h"
#include "ui/screen_placement.h"

#include <QTimer>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    // The arguments as bytes: a file name keeps every byte, whatever its encoding.
    const std::vector<std::string> args(argc > 0 ? argv + 1 : argv, argv + argc);
    const rs::WindowArguments parsed = rs::parseWindowArguments(args);
    switch (parsed.action) {
    case rs::WindowArguments::Action::Help:
        std::fputs(rs::kWindowUsage, stdout);
        return 0;
    case rs::WindowArguments::Action::Version:
        std::fputs(rs::kWindowVersion, stdout);
        return 0;
    case rs::WindowArguments::Action::Usage:
        std::fprintf(stderr, "ripplescope: %s\n", parsed.error.c_str());
        std::fputs(rs::kWindowUsage, stderr);
        return 2;
    case rs::WindowArguments::Action::Start:
        break;
    }

    // Qt sees only the program name, so no argument of ours can be taken or acted on by it (the
    // platform can still be chosen through QT_QPA_PLATFORM).
    static int qtArgc = 1;
    static char programName[] = "ripplescope";
    static char* qtArgv[] = {programName, nullptr};
    std::optional<rs::PlatformStartGuard> starting(std::in_place, "ripplescope");
    rs::Application app(qtArgc, qtArgv);
    starting.reset();
    rs::QtInteraction dialogs;
    app.setErrorReporter(&dialogs);

    rs::TForm1 Form1(dialogs);
    rs::centreOnScreen(Form1);
    Form1.show();
    if (parsed.scene) {
        // From the event loop, once the window is up, so an error box stands over it as after Open.
        QTimer::singleShot(0, &Form1, [&Form1, &parsed] { Form1.openNamedScene(*parsed.scene); });
    }
    QApplication::exec();
    // Quit and closing the window both end the loop normally; the exit code is always 0.
    return 0;
}
