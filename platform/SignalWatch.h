#pragma once

#include <QObject>

#include <vector>

class QSocketNotifier;

// Turns the signals that ask a program to end (SIGTERM from a logout or
// `kill`, SIGINT from Ctrl+C, SIGHUP from a closed terminal) into a Qt
// signal delivered by the event loop, where anything may be done; the
// signal handler itself only writes to a pipe. A signal that was ignored
// when the program started stays ignored: `nohup` asked for that, and so
// did a script that runs the program in the background, away from its
// terminal's Ctrl+C. One object per process; the default handling returns
// when it goes.
class SignalWatch : public QObject
{
    Q_OBJECT

public:
    explicit SignalWatch(QObject *parent = nullptr);
    ~SignalWatch() override;

    // A signal has come.
    bool Requested() const { return m_requested; }

Q_SIGNALS:
    void Signalled(int signal);

private:
    void OnReadable();

    QSocketNotifier *m_notifier = nullptr;
    bool m_requested = false;
    std::vector<int> m_caught;  // the signals handled here
};
