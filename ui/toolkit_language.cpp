// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "ui/toolkit_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace rs {

QLocale japaneseLocale() {
    return QLocale(QLocale::Japanese, QLocale::Japan);
}

bool installJapaneseToolkitTexts(QCoreApplication& app) {
    // The default locale names the file types in the file dialogs (the MIME database's comments).
    QLocale::setDefault(japaneseLocale());
    auto* translator = new QTranslator(&app);
    // The catalogue by its full name, not by the system's UI languages, which would read the environment.
    if (!translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace rs
