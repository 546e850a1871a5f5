#include "MessageBoxWatcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

MessageBoxWatcher::MessageBoxWatcher(const QWidget* window) : window_(window) {
    connect(&timer_, &QTimer::timeout, this, &MessageBoxWatcher::Poll);
    timer_.start(5);
}

void MessageBoxWatcher::Poll() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) return;
    SeenMessage seen;
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.hasIcon = box->icon() != QMessageBox::NoIcon;
    seen.buttonCount = static_cast<int>(box->buttons().size());
    seen.windowVisible = window_ != nullptr && window_->isVisible();
    seen_.push_back(seen);
    if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
        ok->click();
    } else {
        box->reject();
    }
}
