#pragma once
// A label whose caption is two parts set apart by a long run of spaces: the
// first part is drawn at the left edge and the second at the right edge, so
// that the second ends beside the box it names whatever a space measures.
#include <QLabel>
#include <QStringList>

namespace pw::qt {

class SpreadLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    // True for captions this label lays out differently from a plain label.
    static bool Spreads(const QString& caption);
    // The part drawn at the left edge and the part drawn at the right edge;
    // empty for a caption that does not spread.
    static QStringList Parts(const QString& caption);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace pw::qt
