#include "engine/TimeText.h"

QString FormatHms(int seconds)
{
    const auto two = [](int value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); };
    return two(seconds / 3600) + QLatin1Char(':') + two(seconds % 3600 / 60) + QLatin1Char(':')
        + two(seconds % 60);
}
