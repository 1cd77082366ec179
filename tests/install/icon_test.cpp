// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// The desktop's icon must be the window's own icon: the PNGs in the icon theme are generated from the
// same design as the XPM compiled into the program, and a stale PNG would show a different picture.

#include <gtest/gtest.h>
#include <QImage>
#include <QString>

#include <cmath>

#include "app/ripplescope_icon.xpm"

namespace {

QImage windowIcon() {
    return QImage(ripplescope_icon_xpm).convertToFormat(QImage::Format_RGB32);
}

QImage launcherIcon() {
    return QImage(QStringLiteral(RIPPLESCOPE_ICON_DIR "/ripplescope-32.png"))
        .convertToFormat(QImage::Format_RGB32);
}

QImage themeIcon(int size) {
    return QImage(QStringLiteral(RIPPLESCOPE_ICON_DIR "/ripplescope-%1.png").arg(size))
        .convertToFormat(QImage::Format_ARGB32);
}

// What a pixel shows, by its dominant channels, so anti-aliased edges still count.
enum class Tone { Ground, Source1, Source2, Centre, Other };

Tone toneOf(QRgb c) {
    const int r = qRed(c), g = qGreen(c), b = qBlue(c);
    if (qAlpha(c) < 128) return Tone::Other;
    if (r > 200 && g > 200 && b > 200) return Tone::Centre;
    if (g > r + 64 && g > b) return Tone::Source1;
    if (r > g + 64 && b > g + 64) return Tone::Source2;
    if (b > 64 && r < 40 && g < 40) return Tone::Ground;
    return Tone::Other;
}

TEST(LauncherIcon, IsThirtyTwoPixelsSquareLikeTheWindowIcon) {
    const QImage png = launcherIcon();
    ASSERT_FALSE(png.isNull()) << "the PNG does not decode";
    EXPECT_EQ(png.size(), QSize(32, 32));
    EXPECT_EQ(windowIcon().size(), QSize(32, 32));
}

TEST(LauncherIcon, MatchesTheWindowIconPixelForPixel) {
    const QImage png = launcherIcon();
    const QImage xpm = windowIcon();
    ASSERT_EQ(png.size(), xpm.size());
    int differing = 0;
    for (int y = 0; y < xpm.height(); ++y) {
        for (int x = 0; x < xpm.width(); ++x) {
            if (png.pixel(x, y) != xpm.pixel(x, y) && differing++ < 5) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << "): PNG " << std::hex << png.pixel(x, y)
                              << ", window icon " << xpm.pixel(x, y);
            }
        }
    }
    EXPECT_EQ(differing, 0);
}

TEST(LauncherIcon, UsesBothSourceColoursOfTheDesign) {
    // Guards against an icon that is merely consistent, e.g. both files blank after a script error.
    const QImage png = launcherIcon();
    bool lime = false;
    bool fuchsia = false;
    for (int y = 0; y < png.height(); ++y) {
        for (int x = 0; x < png.width(); ++x) {
            lime = lime || png.pixel(x, y) == qRgb(0x00, 0xFF, 0x00);
            fuchsia = fuchsia || png.pixel(x, y) == qRgb(0xFF, 0x00, 0xFF);
        }
    }
    EXPECT_TRUE(lime);
    EXPECT_TRUE(fuchsia);
}

TEST(ThemeIcons, EverySizeDrawsTheOneDesign) {
    // Points of the design on its 32-unit grid: the two centres, the middle ring of each source on the
    // side away from the other, and the ground between a centre and its ring. Ring points may fall on
    // an edge between two pixels at some sizes, so the neighbouring pixels count too.
    struct Probe {
        double x, y;
        Tone tone;
        int reach;
    };
    const Probe probes[] = {{10.5, 10.5, Tone::Centre, 0},  {21.5, 21.5, Tone::Centre, 0},
                            {4.0, 10.5, Tone::Source1, 1},  {28.0, 21.5, Tone::Source2, 1},
                            {10.5, 15.25, Tone::Ground, 0}, {21.5, 16.75, Tone::Ground, 0}};
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QImage icon = themeIcon(size);
        ASSERT_EQ(icon.size(), QSize(size, size)) << size << " px icon is missing or has the wrong size";
        for (const Probe& p : probes) {
            const int px = static_cast<int>(std::floor(p.x * size / 32));
            const int py = static_cast<int>(std::floor(p.y * size / 32));
            bool found = false;
            for (int dy = -p.reach; dy <= p.reach; ++dy)
                for (int dx = -p.reach; dx <= p.reach; ++dx)
                    found = found || toneOf(icon.pixel(px + dx, py + dy)) == p.tone;
            EXPECT_TRUE(found) << size << " px icon at (" << p.x << ", " << p.y << "): pixel " << std::hex
                               << icon.pixel(px, py);
        }
    }
}

} // namespace
