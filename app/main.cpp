// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// Start-up: the application object, the title, the one main window, the event loop, exit code 0.

#include "app/sound.h"
#include "ui/application.h"
#include "ui/platform_start.h"
#include "ui/qt_interaction.h"
#include "ui/screen_placement.h"

#include <optional>

int main() {
    // The program takes no command line: Qt sees only the program name, so no argument changes
    // anything (the platform can still be chosen through QT_QPA_PLATFORM).
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
    QApplication::exec();
    // Quit and closing the window both end the loop normally; the exit code is always 0.
    return 0;
}
