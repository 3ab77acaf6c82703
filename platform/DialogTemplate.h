#pragma once

#include <vector>

// A window layout as data: the window's caption, font and size and its
// controls with their numbers, in dialog units (a quarter of the font's
// average character width across, an eighth of its height down), so that the
// layout grows and shrinks with the font as such layouts always have.
enum class ControlKind {
    PushButton,     // a plain push button
    IconButton,     // a flat button that paints its own picture
    Static,         // a text label
    BlackRect,      // a black filled rectangle
    EtchedHorz,     // a sunken horizontal rule
    EtchedVert,     // a sunken vertical rule
    Frame,          // an empty frame
    Icon,           // a picture label
    ListView,       // a list with columns
    ComboBox,       // a drop-down list
    CheckBox,
    RadioButton,
    Edit,           // a one-line text field
    Slider,         // a plain horizontal slider
    NiceSlider,     // a slider whose thumb jumps to the click
    ProgressBar,
    Custom,         // made by the window's factory
};

// Control flags.
enum : unsigned {
    kHidden = 1u << 0,
    kDisabled = 1u << 1,
    kTabStop = 1u << 2,
    kDefault = 1u << 3,     // the default push button
    kCentre = 1u << 4,      // text centred across
    kVCentre = 1u << 5,     // text centred down
    kNotify = 1u << 6,      // a label that reports clicks
    kSunken = 1u << 7,
    kBorder = 1u << 8,
};

struct ControlTemplate {
    int id;  // 0 or -1 for controls nobody addresses
    ControlKind kind;
    const char *text;  // UTF-8
    int x, y, width, height;
    unsigned flags;
};

struct DialogTemplate {
    int id;
    const char *caption;
    int width, height;
    const char *fontFamily;
    int fontPointSize;
    std::vector<ControlTemplate> controls;
};
