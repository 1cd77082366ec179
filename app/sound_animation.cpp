// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// Animation: the Start/Stop button, the tick, frame stepping, the tick rate and the wave speed.
// The timer's interval is the only animation state: 0 is stopped, anything else is running.

#include "app/sound.h"

#include <QAction>
#include <QMenu>

namespace rs {

namespace {

// The File menu may be used exactly while the animation is stopped.
void setFileMenuEnabled(QMenu* file, bool enabled) {
    file->menuAction()->setEnabled(enabled);
}

// One step of the hidden angle: +2 degrees, wrapped back into -180..180 without ever clamping.
int turnedPhi(int position) {
    return position <= 178 ? position + 2 : position - 358;
}

} // namespace

FrameSettings TForm1::frameSettings() const {
    return rs::frameSettings(controls);
}

void TForm1::drawall() {
    graph->beginDrawing();
    renderer_.render(scene, frameSettings(), picture);
    // Only now, whole: the screen never shows a frame half drawn.
    graph->showFrame();
}

void TForm1::BitBtn1Click() {
    if (Timer1.interval() != 0) {
        Timer1.setInterval(0);
        setFileMenuEnabled(FileF1, true);
    } else {
        // A refused timer throws here and leaves the menu enabled; the next click stops again.
        Timer1.setInterval(controls.fpschanger.position);
        setFileMenuEnabled(FileF1, false);
    }
}

void TForm1::Timer1Timer() {
    if (controls.ch_guruguru) {
        phichanger->setPosition(turnedPhi(controls.phichanger.position));
    }
    clockTick(scene, [this] { drawall(); });
    if (controls.ch_koma) {
        Timer1.setInterval(0);
        setFileMenuEnabled(FileF1, true);
    }
}

void TForm1::fpschangerChange() {
    // While stopped the next start reads the position itself.
    if (Timer1.interval() != 0) {
        Timer1.setInterval(controls.fpschanger.position);
    }
}

void TForm1::velocitychangerChange() {
    setWaveSpeed(scene, controls.velocitychanger.position);
}

} // namespace rs
