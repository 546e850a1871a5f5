// An empty window as large as Portwright's, shown the same way, to compare
// start-up times against. Usage: bare_window [--text]
#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QWidget>

#include "app/ControlTable.h"
#include "ui/qt/LayoutScale.h"
#include "ui/qt/StartupProbe.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const pw::qt::LayoutScale scale = pw::qt::LayoutScale::ForPrimaryScreen();
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.setFixedSize(scale.Size(pw::kFormSpec.clientWidth, pw::kFormSpec.clientHeight));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        window.move(screen->geometry().center() - window.rect().center());
    }
    // --text: one line of text in the window's font, nothing more.
    if (QApplication::arguments().contains(QStringLiteral("--text"))) {
        auto* label = new QLabel(QStringLiteral("Exchange Server NetBIOS Name:"), &window);
        label->setFont(scale.Font(pw::kFormSpec.font));
        label->move(scale.Pixels(630), scale.Pixels(360));
    }
    pw::qt::InstallStartupProbe(window);
    window.show();
    return app.exec();
}
