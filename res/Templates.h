#pragma once

#include "platform/DialogTemplate.h"

// Window layouts by number.
enum TemplateId : int {
    IDD_ABOUTBOX = 100,
    IDD_MAIN = 102,
    IDD_PROGRESS = 130,
    IDD_TIP = 137,
};

// Control numbers that code refers to.
enum ControlId : int {
    IDOK = 1,
    IDC_CONVERT = 1000,
    IDC_REMOVE = 1001,
    IDC_ADD = 1002,
    IDC_HELP_BUTTON = 1003,
    IDC_LIST = 1006,
    IDC_PREVIEW = 1009,
    IDC_PLAY = 1010,
    IDC_STOP = 1011,
    IDC_POSITION = 1012,
    IDC_FOLDER = 1018,
    IDC_BROWSE = 1019,
    IDC_ADD_SMALL = 1025,
    IDC_REMOVE_SMALL = 1026,
    IDC_MOVE_UP = 1027,
    IDC_MOVE_DOWN = 1028,
    IDC_BACKDROP = 1030,
    IDC_PROGRESS_TEXT = 1032,
    IDC_PROGRESS_BAR = 1033,
    IDC_PROGRESS_CANCEL = 1034,
    IDC_TIP_TEXT = 1042,
    IDC_TIP_STARTUP = 1043,
    IDC_TIP_NEXT = 1044,
    IDC_TIP_PICTURE = 1045,
    IDC_ABOUT_TITLE = 1046,
    IDC_HOME_LINK = 1047,
    IDC_SUPPORT_LINK = 1049,
    IDC_CODEC_MPEG4 = 1056,
    IDC_CODEC_XVID = 1057,
    IDC_CODEC_H264 = 1058,
    IDC_RESOLUTION = 1059,
    IDC_LETTERBOX = 1060,
    IDC_VOLUME_LABEL = 1063,
    IDC_VOLUME = 1064,
    IDC_QUALITY = 1065,
};

// The layout with that number; nullptr for an unknown number.
const DialogTemplate *FindTemplate(int id);
