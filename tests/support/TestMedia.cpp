#include "tests/support/TestMedia.h"

#include <QJsonArray>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>

namespace TestMedia {
namespace {

void PutBigEndian(QByteArray &data, qsizetype at, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        data[at + i] = static_cast<char>((value >> (24 - 8 * i)) & 0xff);
}

// The ffmpeg command of this FFmpeg cannot set a display rotation, so the
// matrix of the first track header is written directly: a = d = 0, b = 1,
// c = -1 (16.16 fixed point) turns the picture clockwise.
bool TurnFirstTrack(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    QByteArray data = file.readAll();
    const qsizetype box = data.indexOf("tkhd");
    if (box < 0)
        return false;
    const bool longTimes = data[box + 4] == 1;
    const qsizetype matrix = box + (longTimes ? 56 : 44);
    PutBigEndian(data, matrix + 0, 0);
    PutBigEndian(data, matrix + 4, 0x00010000);
    PutBigEndian(data, matrix + 12, 0xffff0000);
    PutBigEndian(data, matrix + 16, 0);
    return file.seek(0) && file.write(data) == data.size();
}

// The duration fields of the header: the movie header's (MP4/MOV), or the
// main header's frame count and the first stream's length (AVI).
bool StateDuration(const QString &path, double seconds)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    QByteArray data = file.readAll();
    if (path.endsWith(QLatin1String(".avi"))) {
        const qsizetype main = data.indexOf("avih");
        const qsizetype stream = data.indexOf("strh");
        if (main < 0 || stream < 0)
            return false;
        // Frames at the recipe's 25 per second, little-endian.
        const quint32 frames = static_cast<quint32>(seconds * 25);
        for (const qsizetype at : {main + 24, stream + 40}) {
            for (int i = 0; i < 4; ++i)
                data[at + i] = static_cast<char>((frames >> (8 * i)) & 0xff);
        }
    } else {
        const qsizetype box = data.indexOf("mvhd");
        if (box < 0 || data[box + 4] != 0)
            return false;
        const quint32 scale = (quint8(data[box + 16]) << 24) | (quint8(data[box + 17]) << 16)
            | (quint8(data[box + 18]) << 8) | quint8(data[box + 19]);
        PutBigEndian(data, box + 20, static_cast<quint32>(seconds * scale));
    }
    return file.seek(0) && file.write(data) == data.size();
}

} // namespace

int Run(const QString &program, const QStringList &arguments, QByteArray *output,
        QByteArray *errors, int timeoutMs)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted())
        return -1;
    process.closeWriteChannel();
    const bool finished = process.waitForFinished(timeoutMs);
    if (!finished) {
        process.kill();
        process.waitForFinished();
    }
    if (output)
        *output = process.readAllStandardOutput();
    if (errors)
        *errors = process.readAllStandardError();
    if (!finished || process.exitStatus() != QProcess::NormalExit)
        return -1;
    return process.exitCode();
}

QString MakeVideo(const VideoRecipe &recipe)
{
    const QString seconds = QString::number(recipe.seconds);
    QStringList args{QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"),
                     QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                     QStringLiteral("testsrc=size=%1x%2:rate=%3:duration=%4")
                         .arg(recipe.width).arg(recipe.height).arg(recipe.fps, seconds)};
    if (recipe.audio)
        args << QStringLiteral("-f") << QStringLiteral("lavfi") << QStringLiteral("-i")
             << QStringLiteral("sine=frequency=440:sample_rate=44100:duration=%1").arg(seconds);
    // One thread keeps test files identical from run to run.
    args << QStringLiteral("-threads") << QStringLiteral("1") << recipe.extraArgs << recipe.path;
    QByteArray errors;
    int code = Run(QStringLiteral("ffmpeg"), args, nullptr, &errors);
    if (code == 0 && recipe.leadIn > 0) {
        // Shifting a whole file's input makes the muxer write the lead-in.
        const QString shifted = recipe.path + QStringLiteral(".shifted.mp4");
        args = QStringList{QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"),
                           QStringLiteral("-itsoffset"), QString::number(recipe.leadIn),
                           QStringLiteral("-i"), recipe.path, QStringLiteral("-c"),
                           QStringLiteral("copy"), shifted};
        code = Run(QStringLiteral("ffmpeg"), args, nullptr, &errors);
        if (code == 0 && (!QFile::remove(recipe.path) || !QFile::rename(shifted, recipe.path)))
            return QStringLiteral("cannot replace ") + recipe.path;
    }
    if (code == 0 && recipe.quarterTurn && !TurnFirstTrack(recipe.path))
        return QStringLiteral("cannot turn the picture of ") + recipe.path;
    if (code == 0 && recipe.statedSeconds > 0 && !StateDuration(recipe.path, recipe.statedSeconds))
        return QStringLiteral("cannot restate the duration of ") + recipe.path;
    if (code == 0)
        return {};
    return QStringLiteral("ffmpeg %1 failed (%2): %3")
        .arg(args.join(QLatin1Char(' ')))
        .arg(code)
        .arg(QString::fromLocal8Bit(errors));
}

QString MakeSmallClip(const QString &path)
{
    VideoRecipe recipe;
    recipe.path = path;
    recipe.width = 160;
    recipe.height = 120;
    recipe.seconds = 3.0;
    return MakeVideo(recipe);
}

QJsonObject Probe(const QString &path)
{
    QByteArray output;
    const int code = Run(QStringLiteral("ffprobe"),
                         {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-of"),
                          QStringLiteral("json"), QStringLiteral("-show_format"),
                          QStringLiteral("-show_streams"), path},
                         &output);
    if (code != 0)
        return {};
    return QJsonDocument::fromJson(output).object();
}

QJsonObject StreamOf(const QJsonObject &probe, const QString &codecType)
{
    const QJsonArray streams = probe.value(QStringLiteral("streams")).toArray();
    for (const QJsonValue &stream : streams) {
        if (stream.toObject().value(QStringLiteral("codec_type")).toString() == codecType)
            return stream.toObject();
    }
    return {};
}

} // namespace TestMedia
