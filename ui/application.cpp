#include "ui/application.h"

#include "ui/dispatch_guard.h"

namespace rs {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    const QString title = QString::fromLatin1(kApplicationTitle);
    setApplicationName(title);
    setApplicationDisplayName(title);
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        reportCurrentException(*reporter_);
        return false;
    }
}

} // namespace rs
