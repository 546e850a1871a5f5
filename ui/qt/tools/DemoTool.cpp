// portwright-demo seed PREFIX       fills PREFIX's store with a demonstration server
// portwright-demo screenshot OUT.png renders the window over such a store, after
//                                    start-up and with an external name typed
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <clocale>
#include <cstdio>
#include <exception>
#include <string>

#include "platform/posix/Prefix.h"
#include "registry/sqlite/SqliteRegistryApi.h"
#include "ui/qt/PortwrightProgram.h"
#include "tools/DemoStore.h"

namespace {

void Seed(const std::string& prefix) {
    pw::SqliteRegistryApi registry(pw::RegistryStorePath(prefix));
    pw::SeedDemoStore(registry, pw::DemoServer{});
}

int Screenshot(int argc, char* argv[], const char* output) {
    QApplication app(argc, argv);
    QTemporaryDir prefix;
    if (!prefix.isValid()) {
        std::fprintf(stderr, "portwright-demo: cannot create a temporary folder: %s\n",
                     qPrintable(prefix.errorString()));
        return 1;
    }
    Seed(prefix.path().toStdString());
    pw::qt::PortwrightProgram program(prefix.path().toStdString());
    program.Start();
    QWidget* external = program.Window().Widget(pw::ControlId::txtExternalFQDN);
    QTest::keyClicks(external, QStringLiteral("mail.example.com"));
    QApplication::processEvents();
    if (!program.Window().grab().save(QString::fromLocal8Bit(output))) {
        std::fprintf(stderr, "portwright-demo: cannot write the picture to %s\n", output);
        return 1;
    }
    return 0;
}

int Usage() {
    std::fprintf(
        stderr,
        "usage: portwright-demo seed PREFIX\n"
        "       portwright-demo screenshot OUT.png   (set QT_QPA_PLATFORM=offscreen without a display)\n");
    return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    std::setlocale(LC_ALL, "");
    if (argc != 3) return Usage();
    const std::string command = argv[1];
    try {
        if (command == "seed") {
            Seed(argv[2]);
            return 0;
        }
        if (command == "screenshot") return Screenshot(argc, argv, argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "portwright-demo: %s\n", e.what());
        return 1;
    }
    return Usage();
}
