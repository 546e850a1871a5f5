#pragma once
// A push button as the window's buttons behave: never a default or cancel
// button, yet Enter presses it while it has the focus, as the space bar does.
#include <QPushButton>

namespace pw::qt {

class CommandButton : public QPushButton {
    Q_OBJECT
public:
    explicit CommandButton(const QString& caption, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace pw::qt
