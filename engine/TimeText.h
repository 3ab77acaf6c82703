#pragma once

#include <QString>

// Seconds as "hh:mm:ss"; hours are not limited to two digits or to 24.
QString FormatHms(int seconds);
