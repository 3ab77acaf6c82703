#pragma once

#include <QString>

#include <vector>

enum StringId : int {
    IDS_ABOUTBOX = 101,
    IDS_TIP_FILE_ABSENT = 102,
    IDS_TIP_FILE_CORRUPT = 103,
    IDS_TIP_DIDYOUKNOW = 104,
};

// The text with that number; empty for an unknown number.
QString LoadStringResource(int id);

// What a control of the main window says: its tooltip (null: none), and the
// name and description a screen reader gives (the description is the
// tooltip where there is one and no description of its own).
struct ControlText {
    int id;
    const char *name;
    const char *tooltip;
    const char *description;
};

// Every control of the main window with something to say.
const std::vector<ControlText> &MainWindowTexts();

// That control's texts; nullptr for a control without any.
const ControlText *FindControlText(int id);
