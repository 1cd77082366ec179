// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// The application object. Handlers already run through DispatchGuard; notify() catches anything that
// still escapes an event so that it is shown instead of unwinding through Qt.

#include "ui/interaction.h"
#include "ui/qt_interaction.h"

#include <QApplication>

namespace rs {

class Application : public QApplication {
  public:
    Application(int& argc, char** argv);

    // Where escaped errors are shown; the real error box until set. The object must outlive its use.
    void setErrorReporter(Interaction* ui) { reporter_ = ui != nullptr ? ui : &dialogs_; }

    bool notify(QObject* receiver, QEvent* event) override;

  private:
    QtInteraction dialogs_;
    Interaction* reporter_ = &dialogs_;
};

} // namespace rs
