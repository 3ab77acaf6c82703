#pragma once

// The encoder's command line, as the window program writes it and `morlenc`
// reads it: always the same number of arguments, the fixed tokens at fixed
// places, the variable pieces between them. Both sides include this header,
// so it uses nothing but the language itself; a token changed here changes
// on both sides at once.

#include <array>

namespace EncoderGrammar {

constexpr int kArgumentCount = 25;

// Where the variable pieces stand.
enum Place : int {
    kSource = 0,
    kOutput = 2,
    kAudioFilter = 6,
    kVideoFilter = 8,
    kCodecOptions = 18,
    kEndPosition = 22,
    kMode = 23,
    kHandle = 24,
};

struct FixedToken {
    int place;
    const char *text;
};

// Every other argument never changes.
constexpr std::array<FixedToken, 17> kFixedTokens{{
    {1, "-o"},
    {3, "-ofps"},
    {4, "30000/1001"},
    {5, "-af"},
    {7, "-vf"},
    {9, "-of"},
    {10, "lavf"},
    {11, "-oac"},
    {12, "lavc"},
    {13, "-ovc"},
    {14, "lavc"},
    {15, "-ffourcc"},
    {16, "MP4V"},
    {17, "-lavcopts"},
    {19, "-lavfopts"},
    {20, "format=mp4:i_certify_that_my_video_stream_does_not_use_b_frames"},
    {21, "-endpos"},
}};

// The words inside the variable pieces.
//   audio: kResample, or kVolume + sign + dB + kVolumeUnit + kVolumeTail + kResample
//   video: kScale W:H kHarddup, or kScale -3:H / W:-3 kHarddup kExpand W:H
//   codecs: kCodecHead V kCodecMiddle A
constexpr const char *kResample = "lavcresample=44100";
constexpr const char *kVolume = "volume=";
constexpr const char *kVolumeUnit = "db";
constexpr const char *kVolumeTail = ":0:";
constexpr const char *kScale = "scale=";
constexpr const char *kKeepShape = "-3";
constexpr const char *kHarddup = ",harddup";
constexpr const char *kExpand = ",expand=";
constexpr const char *kCodecHead = "aglobal=1:vglobal=1:vcodec=mpeg4:vbitrate=";
constexpr const char *kCodecMiddle = ":vhq:acodec=aac:abitrate=";

// The end position the program always passes: nine hours.
constexpr const char *kNineHours = "9:0:0";
constexpr long long kNineHoursSeconds = 9 * 3600;

} // namespace EncoderGrammar
