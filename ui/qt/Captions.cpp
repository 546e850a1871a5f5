#include "ui/qt/Captions.h"

namespace pw::qt {

QString ToQString(TextView text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

Text FromQString(const QString& text) {
    return Text(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
}

QString LabelCaption(TextView caption) {
    QString shown;
    shown.reserve(static_cast<qsizetype>(caption.size()));
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&') {
            if (i + 1 < caption.size() && caption[i + 1] == u'&') {
                shown += QChar(u'&');
                ++i;
            }
            continue;
        }
        shown += QChar(caption[i]);
    }
    return shown;
}

QString MessageText(TextView prompt) {
    QString text = ToQString(prompt);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QChar(u'\r'), QChar(u'\n'));
    return text;
}

}  // namespace pw::qt
