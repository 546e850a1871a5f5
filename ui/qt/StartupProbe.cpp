#include "ui/qt/StartupProbe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <cstdio>
#include <ctime>

namespace pw::qt {
namespace {

long long Nanoseconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

class FirstPaintFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            // Report once the paint has been handled and flushed.
            QTimer::singleShot(0, this, [] {
                std::printf("first-paint %lld %lld\n", Nanoseconds(CLOCK_REALTIME),
                            Nanoseconds(CLOCK_PROCESS_CPUTIME_ID));
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool seen_ = false;
};

}  // namespace

void InstallStartupProbe(QWidget& window) {
    if (qEnvironmentVariableIntValue("PORTWRIGHT_STARTUP_PROBE") != 1) return;
    window.installEventFilter(new FirstPaintFilter(&window));
}

}  // namespace pw::qt
