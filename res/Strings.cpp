#include "res/Strings.h"

#include "res/Templates.h"

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

const std::vector<ControlText> &MainWindowTexts()
{
    // The tooltips are the program's own words, commas and all; the names are
    // what the faces show (or would, for the picture-only buttons).
    static const std::vector<ControlText> texts{
        {IDC_ADD, "Add", "Add video files to the list", nullptr},
        {IDC_REMOVE, "Remove", "Remove the selected video file", nullptr},
        {IDC_CONVERT, "Convert", "Start converting", nullptr},
        {IDC_HELP_BUTTON, "Help", "About,help,home page,tip of the day.", "About, help, home page, tip of the day"},
        {IDC_LIST, "Video files", nullptr, "The files to convert, in order"},
        {IDC_ADD_SMALL, "Add files", "Add video files to the list", nullptr},
        {IDC_REMOVE_SMALL, "Remove file", "Remove the selected video file", nullptr},
        {IDC_MOVE_UP, "Move up", "Move the selected video file up", nullptr},
        {IDC_MOVE_DOWN, "Move down", "Move the selected video file down", nullptr},
        {IDC_PREVIEW, "Preview", nullptr, "The selected video file playing"},
        {IDC_QUALITY, "Output quality", nullptr, "Video and sound bitrates of the converted files"},
        {IDC_RESOLUTION, "Resolution", nullptr, "Picture size of the converted files"},
        {IDC_FOLDER, "Output folder", nullptr, "The folder the converted files go to"},
        {IDC_BROWSE, "Choose output folder", nullptr, "Select a temporary folder"},
        {IDC_PLAY, "Play", "Play the selected video file", nullptr},
        {IDC_STOP, "Stop", "Stop playing", nullptr},
        {IDC_POSITION, "Position", nullptr, "Where the preview is in the file, in seconds"},
        {IDC_VOLUME, "Volume", nullptr, "Sound volume of the converted files, in percent"},
    };
    return texts;
}

const ControlText *FindControlText(int id)
{
    for (const ControlText &text : MainWindowTexts()) {
        if (text.id == id)
            return &text;
    }
    return nullptr;
}
