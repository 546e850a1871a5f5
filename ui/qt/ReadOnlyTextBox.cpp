#include "ui/qt/ReadOnlyTextBox.h"

namespace pw::qt {

ReadOnlyTextBox::ReadOnlyTextBox(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    // Read-only alone allows selecting with the mouse only.
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setFocusPolicy(Qt::StrongFocus);
    setTabChangesFocus(true);
    setUndoRedoEnabled(false);
    setAcceptDrops(false);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

}  // namespace pw::qt
