// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// A track bar over QSlider: the position clamps into the range, the change handler runs only when
// the position really changes, and initial settings never run it. Vertical bars have their minimum
// at the top.

#include <QSlider>

#include <functional>

namespace rs {

class TrackBar final : public QSlider {
  public:
    TrackBar(Qt::Orientation orientation, QWidget* parent);

    // Range, position and steps as the window describes them; no handler runs for these.
    void setInitial(int minimum, int maximum, int position, int lineStep, int pageStep);

    int position() const { return value(); }
    // Clamps into the range; runs the handler when the clamped value differs from the current one.
    void setPosition(int position) { setValue(position); }

    void setOnChange(std::function<void()> handler) { onChange_ = std::move(handler); }

  private:
    std::function<void()> onChange_;
};

} // namespace rs
