// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "ui/line_list_box.h"

namespace rs {

LineListBox::LineListBox(QWidget* parent) : QListWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setHidden(true);
}

QStringList LineListBox::lines() const {
    QStringList result;
    result.reserve(count());
    for (int i = 0; i < count(); ++i) {
        result.append(item(i)->text());
    }
    return result;
}

} // namespace rs
