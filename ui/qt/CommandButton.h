#pragma once
// A push button as the window's buttons behave: never a default or cancel
// button, yet Enter presses it while it has the focus, as the space bar does.
// Its access key is handed to the window rather than pressing it outright.
#include <QPushButton>

namespace pw::qt {

class CommandButton : public QPushButton {
    Q_OBJECT
public:
    explicit CommandButton(const QString& caption, QWidget* parent);

signals:
    // Alt and the first marked letter of the caption (Qt's own mnemonic).
    void accessKeyUsed();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace pw::qt
