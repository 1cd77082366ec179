// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// The desktop's icon must be the window's own icon: the PNG in the icon theme is generated from the
// same drawing as the XPM compiled into the program, and a stale PNG would show a different picture.

#include <gtest/gtest.h>
#include <QImage>
#include <QString>

#include "app/ripplescope_icon.xpm"

namespace {

QImage windowIcon() {
    return QImage(ripplescope_icon_xpm).convertToFormat(QImage::Format_RGB32);
}

QImage launcherIcon() {
    return QImage(QStringLiteral(RIPPLESCOPE_ICON_DIR "/ripplescope.png"))
        .convertToFormat(QImage::Format_RGB32);
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

} // namespace
