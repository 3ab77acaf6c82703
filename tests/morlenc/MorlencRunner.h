#pragma once

// Starting the built encoder the way the program does: an argument vector,
// a channel on a socket pair or standard output.

#include "platform/EncoderGrammar.h"

#include <QByteArrayList>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace MorlencRunner {

QString Program();

struct Options {
    QString audioFilter = QStringLiteral("lavcresample=44100");
    QString videoFilter = QStringLiteral("scale=320:240,harddup");
    int videoKbps = 1000;
    int audioKbps = 96;
    QString end = QString::fromLatin1(EncoderGrammar::kNineHours);
};

// The 25 arguments of a job, the handle last.
QStringList Arguments(const QString &source, const QString &output, int mode, int handle,
                      const Options &options = {});

struct Result {
    int exitCode = -1;        // -1: crashed or hung
    QByteArrayList lines;     // what came on standard output, line by line
    QByteArray errors;        // standard error
};

// Runs to the end with the handle already in arguments (normally -1).
// asUser: run by root, the encoder runs as an ordinary user, so that
// permission bits bind as they do for the people who use it.
Result Run(const QStringList &arguments, int timeoutMs = 60000, bool asUser = false);

// A job on a real channel: a socket pair whose child end the encoder
// inherits under its own descriptor number.
class ChannelJob {
public:
    ChannelJob() = default;
    ~ChannelJob();
    ChannelJob(const ChannelJob &) = delete;
    ChannelJob &operator=(const ChannelJob &) = delete;

    // Starts the encoder with Arguments(source, output, mode, <child end>).
    bool Start(const QString &source, const QString &output, int mode,
               const Options &options = {});
    // Starts the encoder with these arguments, the last one replaced by the
    // child end's number.
    bool StartWith(QStringList arguments);

    // The next line without its "\n"; empty at end of stream or after the
    // time-out.
    QByteArray ReadLine(int timeoutMs = 30000);

    void Answer(const QByteArray &answer);
    void CloseChannel();

    QProcess &Process() { return m_process; }

private:
    QProcess m_process;
    int m_fd = -1;
    QByteArray m_pending;
};

} // namespace MorlencRunner
