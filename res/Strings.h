#pragma once

#include <QString>

enum StringId : int {
    IDS_ABOUTBOX = 101,
    IDS_TIP_FILE_ABSENT = 102,
    IDS_TIP_FILE_CORRUPT = 103,
    IDS_TIP_DIDYOUKNOW = 104,
};

// The text with that number; empty for an unknown number.
QString LoadStringResource(int id);
