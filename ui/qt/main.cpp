// Portwright's Linux window over the registry store in the user's prefix.
#include <QApplication>
#include <clocale>
#include <memory>

#include "app/Form.h"
#include "platform/posix/Prefix.h"
#include "ui/qt/Captions.h"
#include "ui/qt/PortwrightProgram.h"
#include "ui/qt/StartupProbe.h"
#include "ui/qt/WindowIcon.h"

int main(int argc, char* argv[]) {
    std::setlocale(LC_ALL, "");
    QApplication app(argc, argv);
    QApplication::setApplicationName(pw::qt::ToQString(pw::kAppTitle));
    QApplication::setDesktopFileName(QStringLiteral("portwright"));
    QApplication::setWindowIcon(pw::qt::WindowIcon());
    // Message boxes may close before the window is shown; only the window's
    // own closing ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    // The store never fails to open: a store it cannot use answers each call
    // with an error, which the window keeps silent as Windows' registry would.
    auto program = std::make_unique<pw::qt::PortwrightProgram>(pw::PrefixFolder());
    QObject::connect(&program->Window(), &pw::qt::QtForm::closed, &app, &QCoreApplication::quit);
    pw::qt::InstallStartupProbe(program->Window());
    program->Start();
    return app.exec();
}
