#include "res/Templates.h"

namespace {

using K = ControlKind;

const DialogTemplate kMain{
    IDD_MAIN, "Kelvaro", 429, 285, "MS Sans Serif", 8,
    {
        {IDC_ADD, K::IconButton, "Add", 15, 3, 51, 44, kTabStop},
        {IDC_REMOVE, K::IconButton, "Remove", 78, 3, 51, 44, kTabStop},
        {IDC_CONVERT, K::IconButton, "Convert", 141, 3, 51, 44, kTabStop},
        {-1, K::EtchedVert, "", 204, 12, 1, 28, kDisabled},
        {IDC_HELP_BUTTON, K::IconButton, "Help", 217, 3, 51, 44, kTabStop},
        {-1, K::EtchedHorz, "", 15, 50, 384, 1, kSunken},
        {IDC_LIST, K::ListView, "", 15, 55, 384, 128, kTabStop | kBorder},
        {IDC_ADD_SMALL, K::IconButton, "", 405, 68, 18, 17, kTabStop},
        {IDC_REMOVE_SMALL, K::IconButton, "", 405, 95, 18, 17, kTabStop},
        {IDC_MOVE_UP, K::IconButton, "", 405, 122, 18, 17, kTabStop},
        {IDC_MOVE_DOWN, K::IconButton, "", 405, 149, 18, 17, kTabStop},
        {IDC_PREVIEW, K::Custom, "", 15, 190, 120, 73, 0},
        {IDC_BACKDROP, K::BlackRect, "", 15, 190, 120, 73, 0},
        {-1, K::Static, "Output quality", 147, 196, 57, 8, 0},
        {IDC_QUALITY, K::ComboBox, "", 212, 193, 187, 169, kTabStop},
        {-1, K::Static, "Resolution", 147, 221, 41, 8, 0},
        {IDC_RESOLUTION, K::ComboBox, "", 212, 218, 65, 189, kTabStop},
        {IDC_LETTERBOX, K::CheckBox, "Add letterbox to keep aspect", 295, 220, 128, 10, kTabStop},
        {-1, K::Static, "Output folder", 147, 246, 57, 8, 0},
        {IDC_FOLDER, K::Edit, "", 212, 244, 160, 12, kTabStop | kBorder},
        {IDC_BROWSE, K::PushButton, "..", 379, 243, 20, 13, kTabStop},
        {IDC_PLAY, K::IconButton, "", 14, 268, 11, 10, kTabStop},
        {IDC_STOP, K::IconButton, "", 29, 268, 11, 10, kTabStop},
        {IDC_POSITION, K::NiceSlider, "", 43, 270, 95, 8, kTabStop},
        {-1, K::Static, "Volume", 147, 268, 25, 8, 0},
        {IDC_VOLUME_LABEL, K::Static, "100%", 184, 268, 17, 8, 0},
        {IDC_VOLUME, K::Slider, "", 209, 268, 95, 11, kTabStop},
        {IDC_CODEC_H264, K::RadioButton, "H264", 325, 271, 36, 10, kHidden},
        {IDC_CODEC_XVID, K::RadioButton, "XviD", 341, 271, 32, 10, kHidden},
        {IDC_CODEC_MPEG4, K::RadioButton, "MPEG4", 353, 270, 68, 10, kHidden},
    }};

const DialogTemplate kProgress{
    IDD_PROGRESS, "Kelvaro", 302, 79, "MS Sans Serif", 8,
    {
        {IDC_PROGRESS_TEXT, K::Static, "Static", 5, 7, 292, 19, kVCentre},
        {IDC_PROGRESS_BAR, K::ProgressBar, "", 12, 32, 279, 12, kBorder},
        {IDC_PROGRESS_CANCEL, K::PushButton, "Cancel", 216, 60, 55, 15, kTabStop},
        {-1, K::EtchedHorz, "", 7, 54, 291, 1, 0},
    }};

const DialogTemplate kTip{
    IDD_TIP, "Tip of the Day", 231, 143, "Arial", 9,
    {
        {-1, K::Frame, "", 12, 11, 207, 25, kHidden},
        {IDC_TIP_TEXT, K::Static, "Some String", 22, 57, 189, 52, kHidden},
        {IDC_TIP_STARTUP, K::CheckBox, "&Show Tips on StartUp", 13, 121, 85, 10, kTabStop},
        {IDC_TIP_NEXT, K::PushButton, "&Next Tip", 109, 118, 50, 14, kTabStop},
        {IDOK, K::PushButton, "&Close", 168, 118, 50, 14, kTabStop | kDefault},
        {IDC_TIP_PICTURE, K::Static, "", 20, 17, 190, 111, 0},
    }};

const DialogTemplate kAbout{
    IDD_ABOUTBOX, "About Kelvaro", 230, 146, "Arial", 9,
    {
        {-1, K::Icon, "", 4, 7, 20, 20, 0},
        {IDC_ABOUT_TITLE, K::Custom, "", 30, 12, 145, 8, 0},
        {IDOK, K::PushButton, "OK", 184, 9, 33, 12, kTabStop | kDefault},
        {-1, K::BlackRect, "", 9, 28, 207, 1, kSunken},
        {IDC_HOME_LINK, K::Custom, "Home page", 85, 34, 38, 8, kCentre | kNotify},
        {IDC_SUPPORT_LINK, K::Custom, "Technical support", 85, 55, 57, 8, kCentre | kNotify},
        {-1, K::BlackRect, "", 9, 98, 207, 1, kSunken},
        {-1, K::Static, "Copyright \u00A9 the Kelvaro authors.", 9, 103, 207, 8, 0},
        {-1, K::Static, "Free software under the GNU GPL, version 3 or later;", 9, 111, 207, 8, 0},
        {-1, K::Static, "it comes with absolutely no warranty.", 9, 119, 207, 8, 0},
        {-1, K::Static, "Windows by the Qt 6 toolkit (LGPL 3).", 9, 127, 207, 8, 0},
        {-1, K::Static, "Video by the FFmpeg libraries (LGPL 2.1+ / GPL 2+).", 9, 135, 207, 8, 0},
    }};

} // namespace

const DialogTemplate *FindTemplate(int id)
{
    for (const DialogTemplate *layout : {&kMain, &kProgress, &kTip, &kAbout}) {
        if (layout->id == id)
            return layout;
    }
    return nullptr;
}
