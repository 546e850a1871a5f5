#include "ui/qt/SpreadLabel.h"

#include <QPainter>

#include "app/LabelCaptions.h"
#include "ui/qt/Captions.h"

namespace pw::qt {

bool SpreadLabel::Spreads(const QString& caption) {
    Text left, right;
    return SplitSpreadCaption(FromQString(caption), left, right);
}

QStringList SpreadLabel::Parts(const QString& caption) {
    Text left, right;
    if (!SplitSpreadCaption(FromQString(caption), left, right)) return {};
    return {ToQString(left), ToQString(right)};
}

void SpreadLabel::paintEvent(QPaintEvent* event) {
    const QStringList parts = Parts(text());
    if (parts.isEmpty()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.setFont(font());
    const QRect area = contentsRect();
    const int vertical = alignment() & Qt::AlignVertical_Mask;
    painter.drawText(area, Qt::AlignLeft | vertical, parts[0]);
    painter.drawText(area, Qt::AlignRight | vertical, parts[1]);
}

}  // namespace pw::qt
