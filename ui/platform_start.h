// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// Qt ends a program whose window system cannot start with an abort and the advice to reinstall it. While
// one of these lives, Qt's messages are held back; if the platform cannot start, the program ends with
// one line that says what is missing and status 1. Otherwise the held messages are passed on.

namespace rs {

class PlatformStartGuard {
  public:
    explicit PlatformStartGuard(const char* program);
    ~PlatformStartGuard();
    PlatformStartGuard(const PlatformStartGuard&) = delete;
    PlatformStartGuard& operator=(const PlatformStartGuard&) = delete;
};

// The line printed when no window can be opened, from the environment that chose the platform.
const char* noDisplayReason();

} // namespace rs
