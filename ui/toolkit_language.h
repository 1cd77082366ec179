// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// The texts Qt itself supplies (file dialogs, message box buttons, edit field context menus,
// tooltips, accessibility names, file type names) in Japanese like the rest of the window: always,
// whatever the desktop's language, since the program reads no locale or environment for its language.

#include <QLocale>

class QCoreApplication;

namespace rs {

// Japanese as spoken in Japan: the language of every text the toolkit formats for the window.
QLocale japaneseLocale();

// Makes japaneseLocale() the default locale and installs Qt's own Japanese catalogue (qtbase_ja.qm
// from Qt's translations folder) into app, which then owns it. False when the catalogue is missing
// or unreadable: Qt keeps its English texts and everything else works as before, so nothing is
// reported.
bool installJapaneseToolkitTexts(QCoreApplication& app);

} // namespace rs
