// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// The window animating the heaviest scene (N = 50, four live sources, every drawing option, 1/sqrt(r))
// at the fastest tick interval for ten seconds; prints frames drawn per second and the CPU time this
// process spent per second of wall time. Takes no command line; bench/window/run starts it on a
// virtual X server.

#include "app/sound.h"
#include "ui/application.h"
#include "ui/qt_interaction.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void heaviestScene(rs::TForm1& form) {
    form.numpoints->setPosition(50);
    form.gens2->setChecked(true);
    form.ch_2cut->setChecked(false);
    for (QCheckBox* box : {form.ch_seibun, form.ch_bashi, form.ch_baishitsu, form.ch_suihei}) {
        box->setChecked(true);
    }
    // Amplitudes small enough that nearly every point is drawable and does the full work.
    form.scene.source(1) = {-100, -100, 100, 10, 0, 2.0};
    form.scene.source(2) = {100, -100, 120, 15, 30, 2.0};
    form.scene.source(3) = {-100, 100, -80, 20, 60, 2.0};
    form.scene.source(4) = {100, 100, 90, 25, 90, 2.0};
    form.fpschanger->setPosition(20);
}

} // namespace

int main() {
    int argc = 1;
    char name[] = "bench_window";
    char* argv[] = {name, nullptr};
    rs::Application app(argc, argv);
    rs::QtInteraction dialogs;
    rs::TForm1 form(dialogs);
    form.show();
    heaviestScene(form);

    constexpr int kRunMs = 10000;
    QElapsedTimer wall;
    double cpuAtStart = 0.0;
    double framesAtStart = 0.0;
    QTimer::singleShot(500, [&] { // let the window map and settle first
        wall.start();
        cpuAtStart = cpuSeconds();
        framesAtStart = form.scene.simTime;
        form.BitBtn1->click();
        QTimer::singleShot(kRunMs, [&] {
            const double seconds = static_cast<double>(wall.nsecsElapsed()) / 1e9;
            const double cpu = cpuSeconds() - cpuAtStart;
            const double frames = form.scene.simTime - framesAtStart;
            form.BitBtn1->click();
            std::printf("frames drawn        %.0f in %.2f s\n", frames, seconds);
            std::printf("frames per second   %.1f\n", frames / seconds);
            std::printf("CPU per second      %.1f %% of one core (%.2f s CPU)\n", 100.0 * cpu / seconds, cpu);
            QCoreApplication::exit(0);
        });
    });
    return QApplication::exec();
}
