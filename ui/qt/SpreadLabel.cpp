#include "ui/qt/SpreadLabel.h"

#include <QPainter>
#include <QRegularExpression>

namespace pw::qt {
namespace {

const QRegularExpression& Gap() {
    static const QRegularExpression gap(QStringLiteral(" {8,}"));
    return gap;
}

}  // namespace

bool SpreadLabel::Spreads(const QString& caption) { return Gap().match(caption).hasMatch(); }

void SpreadLabel::paintEvent(QPaintEvent* event) {
    const QRegularExpressionMatch gap = Gap().match(text());
    if (!gap.hasMatch()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.setFont(font());
    const QRect area = contentsRect();
    const int vertical = alignment() & Qt::AlignVertical_Mask;
    painter.drawText(area, Qt::AlignLeft | vertical, text().left(gap.capturedStart()));
    painter.drawText(area, Qt::AlignRight | vertical, text().mid(gap.capturedEnd()));
}

}  // namespace pw::qt
