// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// A group box drawn the classic way: an etched frame starting half a caption below the top edge with
// the caption on the frame line, so that children placed from the top edge clear the caption. The
// caption is drawn in the palette's WindowText colour, which therefore colours the caption alone.

#include <QGroupBox>

namespace rs {

class GroupBox final : public QGroupBox {
  public:
    GroupBox(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {}

    // Where the caption is drawn, in the box's coordinates.
    QRect captionRect() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace rs
