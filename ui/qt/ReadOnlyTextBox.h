#pragma once
// A multi-line box that shows a value: it takes the focus and lets the text be
// selected and copied, refuses every edit, wraps at its width (anywhere, since
// values have no spaces) and has no scroll bars.
#include <QPlainTextEdit>

namespace pw::qt {

class ReadOnlyTextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit ReadOnlyTextBox(QWidget* parent);
};

}  // namespace pw::qt
