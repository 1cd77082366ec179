// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "ui/platform_start.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace rs {
namespace {

struct HeldMessage {
    QtMsgType type;
    std::string category;
    QString text;
};

const char* programName = "";
QtMessageHandler previous = nullptr;
std::vector<HeldMessage> held;
std::string reason;

void hold(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    // The platform's own fatal error: nothing else can go wrong before the first window.
    if (type == QtFatalMsg && text.contains(QLatin1String("platform plugin"))) {
        std::fprintf(stderr, "%s: %s\n", programName, noDisplayReason());
        std::fflush(stderr);
        std::_Exit(1);
    }
    if (type == QtFatalMsg) {
        previous(type, context, text);
        return;
    }
    held.push_back({type, context.category != nullptr ? context.category : "", text});
}

} // namespace

const char* noDisplayReason() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const QByteArray display = qgetenv("DISPLAY");
    if (!platform.isEmpty() && !platform.startsWith("xcb")) {
        reason = "cannot open a window: the platform \"" + platform.toStdString() +
                 "\" named by QT_QPA_PLATFORM cannot start";
    } else if (display.isEmpty()) {
        reason = "cannot open a window: no display (DISPLAY is not set)";
    } else {
        reason = "cannot open a window: no X server answers at DISPLAY=" + display.toStdString();
    }
    reason += "; run it in a desktop session, or on a virtual X server with xvfb-run";
    return reason.c_str();
}

PlatformStartGuard::PlatformStartGuard(const char* program) {
    programName = program;
    previous = qInstallMessageHandler(hold);
}

PlatformStartGuard::~PlatformStartGuard() {
    qInstallMessageHandler(previous);
    for (const HeldMessage& m : held) {
        const QMessageLogContext context(nullptr, 0, nullptr,
                                         m.category.empty() ? nullptr : m.category.c_str());
        previous(m.type, context, m.text);
    }
    held.clear();
}

} // namespace rs
