// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// GUI tests run headless on the offscreen platform under the program's own application object; only
// the client a test starts on an X server of its own keeps the platform it is given.

#include "ui/application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("RIPPLESCOPE_TEST_ON_X11")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    rs::Application app(argc, argv);
    return RUN_ALL_TESTS();
}
