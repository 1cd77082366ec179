// Start-up: the application object, the title, the one main window, the event loop, exit code 0.

#include "app/sound.h"
#include "ui/application.h"
#include "ui/qt_interaction.h"
#include "ui/screen_placement.h"

int main(int argc, char** argv) {
    rs::Application app(argc, argv);
    rs::QtInteraction dialogs;
    app.setErrorReporter(&dialogs);

    rs::TForm1 Form1(dialogs);
    rs::centreOnScreen(Form1);
    Form1.show();
    QApplication::exec();
    // Quit and closing the window both end the loop normally; the exit code is always 0.
    return 0;
}
