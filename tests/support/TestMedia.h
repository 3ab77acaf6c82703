#pragma once

// Test videos made at test time with the `ffmpeg` command, and their
// inspection with `ffprobe`. Shared by every area whose tests need real
// media files; both commands come from the `ffmpeg` package.

#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace TestMedia {

struct VideoRecipe {
    // Where to write. The extension picks the container as the ffmpeg
    // command does; pass "-f" in extraArgs for extensions it does not know.
    QString path;
    int width = 320;
    int height = 240;
    double seconds = 2.0;
    QString fps = QStringLiteral("25");   // a number or a ratio such as 30000/1001
    bool audio = true;                     // a 440 Hz tone, 44100 Hz mono
    // Inserted just before the output path: codecs, "-f", tags, filters.
    QStringList extraArgs;
    // MP4/MOV only: the picture is to be shown turned a quarter clockwise,
    // as phones record upright video (stored wide, with a display matrix).
    bool quarterTurn = false;
    // MP4/MOV only: pictures and sound begin this many seconds into the
    // file's time, after an empty first stretch of its edit list.
    double leadIn = 0;
    // MP4/MOV and AVI: the header claims this many seconds instead, as a
    // broken muxer leaves it.
    double statedSeconds = 0;
};

// Makes a test video: the testsrc pattern (a moving picture) and the tone.
// Returns an empty string on success, else what went wrong (the command's
// error output).
QString MakeVideo(const VideoRecipe &recipe);

// The small clip the preview tests play: three seconds of 160x120 MP4 as
// `path`. Empty on success, else what went wrong.
QString MakeSmallClip(const QString &path);

// ffprobe's "-show_format -show_streams" of the file as a JSON object; empty
// when ffprobe fails or the file is not media.
QJsonObject Probe(const QString &path);

// The first stream of the given codec_type ("video", "audio") in a Probe()
// result; empty when there is none.
QJsonObject StreamOf(const QJsonObject &probe, const QString &codecType);

// Runs a program with the arguments, no shell, waiting at most timeoutMs.
// Returns its exit code, or -1 when it could not start, crashed or timed
// out; its standard output and error go to the optional strings.
int Run(const QString &program, const QStringList &arguments, QByteArray *output = nullptr,
        QByteArray *errors = nullptr, int timeoutMs = 60000);

} // namespace TestMedia
