// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "ui/file_dialog_details.h"

#include "ui/toolkit_language.h"

#include <QDateTime>
#include <QEvent>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QMimeDatabase>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTreeView>

#include <algorithm>
#include <initializer_list>

namespace rs {

namespace {

// The columns of QFileSystemModel.
constexpr int kSizeColumn = 1;
constexpr int kTypeColumn = 2;
constexpr int kDateColumn = 3;

// What the file type list calls a folder. Qt's catalogue lacks its own word for it, and files are
// named after the MIME database's comments anyway, which the default locale puts in Japanese.
QString folderTypeName() {
    return QMimeDatabase().mimeTypeForName(QStringLiteral("inode/directory")).comment();
}

// Draws each cell with the text fileDetailText gives; the model's own text stays as Qt made it.
class JapaneseFileDetails final : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (const auto* files = qobject_cast<const QFileSystemModel*>(index.model())) {
            option->text = fileDetailText(*files, index);
        }
    }
};

// Qt sizes the columns for English samples ("128.88 GB", "10/29/81 02:02PM"); the Japanese texts
// are wider and would be cut short.
void fitColumns(QTreeView& details) {
    // A cell's width for a text, as the view's style lays the cell out.
    const auto cellWidth = [&details](const QString& text) {
        QStyleOptionViewItem cell;
        cell.initFrom(&details);
        cell.font = details.font();
        cell.fontMetrics = QFontMetrics(cell.font);
        cell.features = QStyleOptionViewItem::HasDisplay;
        cell.text = text;
        return details.style()->sizeFromContents(QStyle::CT_ItemViewItem, &cell, QSize(), &details).width();
    };
    const auto widen = [&](int column, std::initializer_list<QString> samples) {
        int width = details.header()->sectionSize(column);
        for (const QString& sample : samples) {
            width = std::max(width, cellWidth(sample));
        }
        details.header()->resizeSection(column, width);
    };
    const QLocale japanese = japaneseLocale();
    const QMimeDatabase types;
    widen(kSizeColumn, {japanese.formattedDataSize(1023), japanese.formattedDataSize(Q_INT64_C(1023) << 30)});
    // Folders and scene files: plain text, or the program's own type once it is installed.
    widen(kTypeColumn, {folderTypeName(), types.mimeTypeForName(QStringLiteral("text/plain")).comment(),
                        types.mimeTypeForName(QStringLiteral("application/x-ripplescope-scene")).comment()});
    widen(kDateColumn,
          {japanese.toString(QDateTime(QDate(2026, 12, 28), QTime(22, 22)), QLocale::ShortFormat)});
}

// Widens the dialog as it is first shown, once its layout has given the view its width, until every
// column fits without scrolling sideways; the dialog's own show handler, which runs after this,
// centres it at its new width. The columns may also have the widths Qt keeps from earlier dialogs,
// so they are measured, not assumed.
class GrowToColumns final : public QObject {
  public:
    GrowToColumns(QWidget& dialog, QTreeView& details)
        : QObject(&dialog), dialog_(dialog), details_(details) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &dialog_ && event->type() == QEvent::Show) {
            const int wanted = details_.header()->length() + 2 * details_.frameWidth() +
                               details_.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &details_);
            const int missing = wanted - details_.width();
            if (missing > 0) {
                dialog_.resize(dialog_.width() + missing, dialog_.height());
            }
            deleteLater();
        }
        return false;
    }

  private:
    QWidget& dialog_;
    QTreeView& details_;
};

} // namespace

QString fileDetailText(const QFileSystemModel& files, const QModelIndex& index) {
    const QString shown = files.data(index, Qt::DisplayRole).toString();
    // Folders have no size; an empty cell stays empty.
    if (shown.isEmpty()) {
        return shown;
    }
    const QLocale japanese = japaneseLocale();
    switch (index.column()) {
    case kSizeColumn:
        return japanese.formattedDataSize(files.size(index));
    case kTypeColumn:
        return files.isDir(index) ? folderTypeName() : shown;
    case kDateColumn:
        return japanese.toString(files.lastModified(index), QLocale::ShortFormat);
    default:
        return shown;
    }
}

void showFileDetailsInJapanese(QFileDialog& dialog) {
    auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (details == nullptr) {
        return;
    }
    auto* delegate = new JapaneseFileDetails(details);
    for (const int column : {kSizeColumn, kTypeColumn, kDateColumn}) {
        details->setItemDelegateForColumn(column, delegate);
    }
    fitColumns(*details);
    dialog.installEventFilter(new GrowToColumns(dialog, *details));
}

} // namespace rs
