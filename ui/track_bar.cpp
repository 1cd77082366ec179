// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "ui/track_bar.h"

namespace rs {

TrackBar::TrackBar(Qt::Orientation orientation, QWidget* parent) : QSlider(orientation, parent) {
    if (orientation == Qt::Vertical) {
        // Minimum at the top; the Up key and a click above the thumb move it towards the top.
        setInvertedAppearance(true);
        setInvertedControls(true);
    }
    setTickPosition(QSlider::NoTicks);
    // QSlider emits valueChanged only for a value that differs from the current one.
    connect(this, &QSlider::valueChanged, this, [this](int) {
        if (onChange_) {
            onChange_();
        }
    });
}

void TrackBar::setInitial(int minimum, int maximum, int position, int lineStep, int pageStep) {
    const bool wasBlocked = blockSignals(true);
    setRange(minimum, maximum);
    setValue(position);
    setSingleStep(lineStep);
    setPageStep(pageStep);
    blockSignals(wasBlocked);
}

} // namespace rs
