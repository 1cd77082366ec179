// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "ui/push_button.h"

#include <QKeyEvent>

namespace rs {

namespace {

// Return or Enter on its own; with Ctrl, Alt or Shift held the key stays someone else's.
bool isEnterKey(const QKeyEvent& event) {
    return (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) &&
           (event.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

// Hands the button's own Space handling a Space in place of the Enter key.
template <class Handler> void asSpace(QKeyEvent* event, Handler handle) {
    QKeyEvent space(event->type(), Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), event->isAutoRepeat(),
                    static_cast<quint16>(event->count()));
    handle(&space);
    event->setAccepted(space.isAccepted());
}

} // namespace

void PushButton::keyPressEvent(QKeyEvent* event) {
    if (isEnterKey(*event)) {
        asSpace(event, [this](QKeyEvent* space) { QPushButton::keyPressEvent(space); });
        return;
    }
    QPushButton::keyPressEvent(event);
}

void PushButton::keyReleaseEvent(QKeyEvent* event) {
    if (isEnterKey(*event)) {
        asSpace(event, [this](QKeyEvent* space) { QPushButton::keyReleaseEvent(space); });
        return;
    }
    QPushButton::keyReleaseEvent(event);
}

} // namespace rs
