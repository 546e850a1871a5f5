#pragma once
// Program text to Qt strings and back, and the caption rules of labels.
#include <QString>

#include "text/Text.h"

namespace pw::qt {

QString ToQString(TextView text);
Text FromQString(const QString& text);

// A label has no access key: "&&" shows one "&" and a single "&" is dropped.
QString LabelCaption(TextView caption);

// Message texts use CR LF between lines; Qt wants LF alone.
QString MessageText(TextView prompt);

}  // namespace pw::qt
