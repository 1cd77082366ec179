// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// The size, type and date columns of a file dialog's detail view in Japanese. Qt formats sizes and
// dates in the desktop's regional format ("137 bytes", "8 Dec 2026" under an English or C locale)
// whatever the default locale, and its catalogue has no word for "Folder"; the program's texts are
// Japanese everywhere.

class QFileDialog;
class QFileSystemModel;
class QModelIndex;
class QString;

namespace rs {

// The text the detail view shows for the cell at index: Qt's own, except for sizes, folder types
// and modification times, which are given in Japanese.
QString fileDetailText(const QFileSystemModel& files, const QModelIndex& index);

// Lets the dialog's detail view show sizes, folder types and modification times in Japanese, with
// columns (and the dialog) wide enough for them. Call it once the dialog is set up, before it is
// shown. A dialog without the usual detail view is left as it is.
void showFileDetailsInJapanese(QFileDialog& dialog);

} // namespace rs
