#pragma once

#include <QString>

namespace orinsub::model {

/// What someone typed, shown inside a one-line message: control characters as \uXXXX, so a
/// name cannot break the line it is quoted in.
inline QString OneLine(const QString &text)
{
    QString shown;
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            shown += QStringLiteral("\\u%1").arg(int(c.unicode()), 4, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

} // namespace orinsub::model
