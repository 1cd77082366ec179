// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "ui/qt_interaction.h"

#include "ui/file_dialog_details.h"
#include "ui/screen_placement.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

namespace rs {

namespace {

constexpr int kPromptMaxLength = 255;

std::optional<QString> runFileDialog(QFileDialog::AcceptMode mode, const QString& filter,
                                     const QString& remembered) {
    QFileDialog dialog(QApplication::activeWindow(), QString(), QString(), filter);
    // The toolkit's own dialog keeps the event loop (and the animation timer) under our control.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // The file type list shows the filter's description alone, without " (*.rsd)" after it.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(mode);
    if (mode == QFileDialog::AcceptOpen) {
        // A typed name that does not exist still comes back; the command decides what to do with it.
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    }
    if (!remembered.isEmpty()) {
        dialog.selectFile(remembered);
    }
    showFileDetailsInJapanese(dialog);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.front().isEmpty()) {
        return std::nullopt;
    }
    return chosen.front();
}

} // namespace

bool QtInteraction::queryText(const QString& caption, const QString& prompt, QString& text) {
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("キャンセル"));
    QLineEdit* edit = dialog.findChild<QLineEdit*>();
    if (edit != nullptr) {
        edit->setMaxLength(kPromptMaxLength);
    }
    dialog.setTextValue(text);
    if (edit != nullptr) {
        edit->selectAll();
    }
    dialog.adjustSize();
    centreOnScreen(dialog);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    text = dialog.textValue();
    return true;
}

std::optional<QString> QtInteraction::openName(const QString& filter, const QString& remembered) {
    return runFileDialog(QFileDialog::AcceptOpen, filter, remembered);
}

std::optional<QString> QtInteraction::saveName(const QString& filter, const QString& remembered) {
    return runFileDialog(QFileDialog::AcceptSave, filter, remembered);
}

void QtInteraction::showError(const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, QApplication::activeWindow());
    // Messages quote file contents; never let them be read as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace rs
