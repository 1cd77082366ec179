// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// The real dialogs behind the window's conversations, driven while they run modally.

#include "tests/ui/event_wait.h"
#include "ui/file_dialog.h"
#include "ui/file_dialog_details.h"
#include "ui/qt_interaction.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

#include <functional>

#include <fcntl.h>
#include <sys/stat.h>

namespace rs {
namespace {

// Waits for the next modal dialog of the given type to come up and hands it to act, which must close it.
template <class Dialog> void whenShown(std::function<void(Dialog*)> act) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        act(dialog);
    });
    poll->start(5);
}

struct PromptCase {
    bool accept;
    const char* typed;
    bool result;
    const char* text;
};

TEST(QtInteraction, PromptShowsTheTextSelectedAndGivesItBackOnlyOnOk) {
    const PromptCase cases[] = {
        {true, "-250", true, "-250"},
        {false, "-250", false, "12"},
        {true, "", true, ""},
    };
    for (const PromptCase& c : cases) {
        QtInteraction ui;
        QString text = QStringLiteral("12");
        whenShown<QInputDialog>([&](QInputDialog* dialog) {
            EXPECT_EQ(dialog->windowTitle(), QStringLiteral("入力"));
            EXPECT_EQ(dialog->labelText(), QStringLiteral("波源1のx座標は？"));
            EXPECT_EQ(dialog->okButtonText(), QStringLiteral("OK"));
            EXPECT_EQ(dialog->cancelButtonText(), QStringLiteral("キャンセル"));
            auto* edit = dialog->findChild<QLineEdit*>();
            EXPECT_NE(edit, nullptr);
            if (edit != nullptr) {
                EXPECT_EQ(edit->maxLength(), 255);
                EXPECT_EQ(edit->selectedText(), QStringLiteral("12"));
                // A screen reader names the field by its question (the label above it is its buddy).
                EXPECT_EQ(QAccessible::queryAccessibleInterface(edit)->text(QAccessible::Name),
                          QStringLiteral("波源1のx座標は？"));
                edit->setText(QString::fromUtf8(c.typed));
            }
            const QPoint centre = dialog->frameGeometry().center();
            const QPoint screenCentre = dialog->screen()->availableGeometry().center();
            EXPECT_LE((centre - screenCentre).manhattanLength(), 4);
            if (c.accept) {
                dialog->accept();
            } else {
                dialog->reject();
            }
        });
        const bool result = ui.queryText(QStringLiteral("入力"), QStringLiteral("波源1のx座標は？"), text);
        EXPECT_EQ(result, c.result) << c.typed;
        EXPECT_EQ(text, QString::fromUtf8(c.text)) << c.typed;
    }
}

TEST(QtInteraction, ErrorBoxIsAPlainTextStopBoxWithOneOkButton) {
    QtInteraction ui;
    bool seen = false;
    whenShown<QMessageBox>([&](QMessageBox* box) {
        seen = true;
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Ripplescope"));
        EXPECT_EQ(box->text(), QStringLiteral("<b>1</b> は整数ではありません."));
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        EXPECT_EQ(box->buttons().size(), 1);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        box->accept();
    });
    ui.showError(QStringLiteral("Ripplescope"), QStringLiteral("<b>1</b> は整数ではありません."));
    EXPECT_TRUE(seen);
}

TEST(FileDialog, EachDialogRemembersItsOwnNameAndOffersItAgain) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString filter = QStringLiteral("Ripplescopeデータ[*.rsd] (*.rsd)");
    const QString missing = dir.filePath(QStringLiteral("missing.rsd"));
    const QString saved = dir.filePath(QStringLiteral("scene.rsd"));

    QtInteraction ui;
    FileDialog open(ui, FileDialog::Kind::Open, filter);
    FileDialog save(ui, FileDialog::Kind::Save, filter);

    struct Step {
        FileDialog* dialog;
        QFileDialog::AcceptMode mode;
        QString startsAt; // empty: no name offered
        QString choose;   // empty: cancel
        bool result;
    };
    const Step steps[] = {
        {&open, QFileDialog::AcceptOpen, QString(), missing, true}, // a name that does not exist comes back
        {&save, QFileDialog::AcceptSave, QString(), saved, true},
        {&open, QFileDialog::AcceptOpen, missing, QString(), false},
        {&save, QFileDialog::AcceptSave, saved, QString(), false},
    };
    for (const Step& step : steps) {
        whenShown<QFileDialog>([&](QFileDialog* dialog) {
            EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
            EXPECT_EQ(dialog->acceptMode(), step.mode);
            EXPECT_EQ(dialog->nameFilters(), QStringList{filter});
            // The one entry reads as its description; the pattern is not repeated after it.
            const auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            EXPECT_TRUE(types != nullptr && types->count() == 1 &&
                        types->currentText() == QStringLiteral("Ripplescopeデータ[*.rsd]"));
            if (!step.startsAt.isEmpty()) {
                EXPECT_EQ(dialog->selectedFiles().value(0), step.startsAt);
            }
            if (step.choose.isEmpty()) {
                dialog->reject();
            } else {
                dialog->selectFile(step.choose);
                static_cast<QDialog*>(dialog)->accept();
            }
        });
        EXPECT_EQ(step.dialog->execute(), step.result);
    }
    EXPECT_EQ(open.fileName(), missing);
    EXPECT_EQ(save.fileName(), saved);
}

TEST(QtInteraction, FileDialogsSpeakJapanese) {
    struct Texts {
        bool save;
        const char* title;
        const char* accept;
    };
    const Texts cases[] = {{false, "開く", "開く(&O)"}, {true, "名前を付けて保存", "保存(&S)"}};
    const QString filter = QStringLiteral("Ripplescopeデータ[*.rsd] (*.rsd)");
    for (const Texts& c : cases) {
        SCOPED_TRACE(c.title);
        QtInteraction ui;
        bool seen = false;
        whenShown<QFileDialog>([&](QFileDialog* dialog) {
            seen = true;
            EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8(c.title));
            auto label = [dialog](const char* name) {
                const auto* l = dialog->findChild<QLabel*>(QString::fromLatin1(name));
                return l != nullptr ? l->text() : QString();
            };
            EXPECT_EQ(label("lookInLabel"), QStringLiteral("アドレス:"));
            EXPECT_EQ(label("fileNameLabel"), QStringLiteral("ファイル名(&N):"));
            EXPECT_EQ(label("fileTypeLabel"), QStringLiteral("ファイルの種類:"));
            const auto* buttons = dialog->findChild<QDialogButtonBox*>();
            ASSERT_NE(buttons, nullptr);
            const QPushButton* accept =
                buttons->button(c.save ? QDialogButtonBox::Save : QDialogButtonBox::Open);
            ASSERT_NE(accept, nullptr);
            EXPECT_EQ(accept->text(), QString::fromUtf8(c.accept));
            EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
            // The wider Japanese columns still show without scrolling sideways.
            const auto* details = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
            ASSERT_NE(details, nullptr);
            EXPECT_LE(details->header()->length(), details->viewport()->width());
            dialog->reject();
        });
        const std::optional<QString> chosen =
            c.save ? ui.saveName(filter, QString()) : ui.openName(filter, QString());
        EXPECT_TRUE(seen);
        EXPECT_FALSE(chosen.has_value());
    }
}

TEST(FileDialog, DetailViewGivesSizesFolderTypesAndTimesInJapanese) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile scene(dir.filePath(QStringLiteral("scene.rsd")));
    ASSERT_TRUE(scene.open(QIODevice::WriteOnly));
    ASSERT_EQ(scene.write(QByteArray(124, '0')), 124);
    scene.close();
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    // Fixed local times, so the shown text is known whatever the clock and the time zone say: the
    // Japanese short time has a one-digit hour before ten.
    const auto touch = [&](const char* name, int hour, int minute) {
        const qint64 at = QDateTime(QDate(2026, 12, 9), QTime(hour, minute)).toSecsSinceEpoch();
        const timespec times[2] = {{static_cast<time_t>(at), 0}, {static_cast<time_t>(at), 0}};
        return ::utimensat(AT_FDCWD, QFile::encodeName(dir.filePath(QString::fromUtf8(name))).constData(),
                           times, 0) == 0;
    };
    ASSERT_TRUE(touch("scene.rsd", 0, 26));
    ASSERT_TRUE(touch("folder", 13, 5));

    QFileSystemModel files;
    const QModelIndex root = files.setRootPath(dir.path());
    ASSERT_TRUE(testing::processEventsUntil([&] { return files.rowCount(root) == 2; }));
    struct Cell {
        const char* name;
        int column;
        const char* shown;
    };
    const Cell cells[] = {
        {"scene.rsd", 0, "scene.rsd"}, {"scene.rsd", 1, "124 バイト"},      {"folder", 1, ""},
        {"folder", 2, "フォルダー"},   {"scene.rsd", 3, "2026/12/09 0:26"}, {"folder", 3, "2026/12/09 13:05"},
    };
    for (const Cell& c : cells) {
        const QModelIndex index = files.index(dir.filePath(QString::fromUtf8(c.name)), c.column);
        EXPECT_EQ(fileDetailText(files, index).toStdString(), c.shown) << c.name << " column " << c.column;
    }
}

} // namespace
} // namespace rs
