#pragma once

#include <QString>

// The conversion settings the main window holds: chosen by the person, kept
// in the option file, read when an encoder job is started.
struct ConversionSettings {
    int codec = 0;           // 0 MPEG4, 1 XviD, 2 H264; kept, but every job encodes MPEG-4
    int resolution = 5;      // index into the resolution table
    int width = 320;         // target picture width, pixels
    int height = 240;        // target picture height, pixels
    int letterbox = 1;       // non-zero: keep the source's shape with black bars
    int volume = 100;        // percent, 0 to 200; 100 leaves the sound as it is
    int quality = 5;         // index into the quality table
    int videoBitrate = 1000; // kbit/s
    int audioBitrate = 96;   // kbit/s
    QString outputFolder;    // as last taken from the folder field
    int jobs = 0;            // encoder jobs at once; 0: one per core
};
