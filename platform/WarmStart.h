#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Starts one program's jobs through a server that program runs itself
// (`PROGRAM --serve HANDLE`), which has loaded its libraries once: a job then
// starts in a few milliseconds instead of the tens that loading takes. The
// job is still this process's child, counted and reaped as
// StartProgramWithDescriptor's children are, so stopping it works alike.
// Whenever the server cannot take a job (not ready yet, gone), the caller
// starts the program the usual way.
class WarmStart
{
public:
    // Starts the server; it takes jobs once it says it is ready.
    explicit WarmStart(const QString &program);
    // The server ends with its socket.
    ~WarmStart();
    WarmStart(const WarmStart &) = delete;
    WarmStart &operator=(const WarmStart &) = delete;

    // The server's process id, 0 when there is none.
    qint64 Server() const { return m_server; }

    // As StartProgramWithDescriptor. Nothing when the server did not take
    // the job (or `program` is not its program): start it the usual way. 0 when the job
    // may have been started but no process id came back; it must then not
    // be started again, or it could run twice.
    std::optional<qint64> Start(const QString &program, const QStringList &arguments, int inheritedFd,
                                const QStringList &environment);

private:
    bool Ready();
    void Drop();

    QString m_program;
    qint64 m_server = 0;
    int m_socket = -1;
    bool m_ready = false;
};
