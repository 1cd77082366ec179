// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// The hidden list box used as a line buffer when a scene is saved. It is never shown and never takes
// the keyboard focus.

#include <QListWidget>
#include <QStringList>

namespace rs {

class LineListBox final : public QListWidget {
  public:
    explicit LineListBox(QWidget* parent);

    void addLine(const QString& line) { addItem(line); }
    QStringList lines() const;
};

} // namespace rs
