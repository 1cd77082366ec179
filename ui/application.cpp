// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "ui/application.h"

#include "ui/dispatch_guard.h"
#include "ui/toolkit_language.h"

namespace rs {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    // The name alone: a display name would be appended to the title of every other window, so the
    // prompt would read "入力 — Ripplescope" instead of "入力".
    setApplicationName(QString::fromLatin1(kApplicationTitle));
    setDesktopFileName(QStringLiteral(RIPPLESCOPE_APP_ID));
    // Qt's own texts in Japanese, always. Without the catalogue they stay English and the program
    // runs on as before: nothing worth a message at start-up.
    installJapaneseToolkitTexts(*this);
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        reportCurrentException(*reporter_);
        return false;
    }
}

} // namespace rs
