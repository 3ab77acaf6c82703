#include "res/Strings.h"

QString LoadStringResource(int id)
{
    switch (id) {
    case IDS_ABOUTBOX: return QStringLiteral("&About Kelvaro...");
    case IDS_TIP_FILE_ABSENT: return QStringLiteral("Tips file does not exist in the prescribed directory");
    case IDS_TIP_FILE_CORRUPT: return QStringLiteral("Trouble reading the tips file");
    case IDS_TIP_DIDYOUKNOW: return QStringLiteral("Did you know...");
    default: return {};
    }
}
