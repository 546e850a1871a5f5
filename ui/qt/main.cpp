// Portwright's Linux window over the registry store in the user's prefix.
#include <QApplication>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <memory>

#include "PortwrightVersion.h"

#include "app/Form.h"
#include "platform/posix/Prefix.h"
#include "ui/qt/Captions.h"
#include "ui/qt/PortwrightProgram.h"
#include "ui/qt/StartupProbe.h"
#include "ui/qt/WindowIcon.h"

namespace {

constexpr char kHelp[] =
    "Usage: portwright [--help | --version | QT-OPTIONS]\n"
    "Opens Portwright's window: it composes the registry value ValidPorts under\n"
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Rpc\\RpcProxy from the server's names\n"
    "and the RPC proxy's ports, shows it beside the stored value, writes it (or a\n"
    "default) and leaves a log file of each write. portwright-cli does the same\n"
    "from a script.\n"
    "\n"
    "Options:\n"
    "  --help      print this help and exit\n"
    "  --version   print the version and exit\n"
    "Any other option goes to Qt (-platform, -style, ...).\n"
    "\n"
    "Environment:\n"
    "  PORTWRIGHT_PREFIX  the folder of the registry store and the drives\n"
    "                     (default: $XDG_DATA_HOME/portwright, else\n"
    "                     ~/.local/share/portwright)\n";

// Exit code 1 when the text could not be written (a full disk, a closed pipe).
int Print(const char* text) { return std::fputs(text, stdout) >= 0 && std::fflush(stdout) == 0 ? 0 : 1; }

// --help and --version answer before Qt starts, so that they need no display
// (the manual page is made from them at build time). -1: neither was given.
int AnswerInfoOption(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) return Print(kHelp);
        if (std::strcmp(argv[i], "--version") == 0) return Print("portwright " PORTWRIGHT_VERSION "\n");
    }
    return -1;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (const int code = AnswerInfoOption(argc, argv); code >= 0) return code;
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
