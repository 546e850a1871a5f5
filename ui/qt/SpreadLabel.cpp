#include "ui/qt/SpreadLabel.h"

#include <QPainter>

namespace pw::qt {
namespace {

constexpr qsizetype kShortestGap = 8;

struct Gap {
    qsizetype start = -1;  // -1: the caption has no gap
    qsizetype end = -1;
};

// The first run of at least kShortestGap spaces. A plain scan: a regular
// expression would cost a pattern compilation at start-up.
Gap FindGap(const QString& caption) {
    qsizetype i = 0;
    while (i < caption.size()) {
        if (caption[i] != u' ') {
            ++i;
            continue;
        }
        const qsizetype start = i;
        while (i < caption.size() && caption[i] == u' ') ++i;
        if (i - start >= kShortestGap) return {start, i};
    }
    return {};
}

}  // namespace

bool SpreadLabel::Spreads(const QString& caption) { return FindGap(caption).start >= 0; }

QStringList SpreadLabel::Parts(const QString& caption) {
    const Gap gap = FindGap(caption);
    if (gap.start < 0) return {};
    return {caption.left(gap.start), caption.mid(gap.end)};
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
