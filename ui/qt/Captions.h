#pragma once
// Program text to Qt strings and back.
#include <QString>

#include "text/Text.h"

namespace pw::qt {

QString ToQString(TextView text);
Text FromQString(const QString& text);

// Message texts use CR LF between lines; Qt wants LF alone.
QString MessageText(TextView prompt);

}  // namespace pw::qt
