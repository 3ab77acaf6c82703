#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM and SIGINT (a logout, a shutdown, `kill`, Ctrl+C in a terminal)
// end the program the way its close box does: every open dialog is closed,
// so the main window's end saves the settings, and running encoders see
// their channels close and remove their unfinished files. Without this the
// signal would kill the program on the spot and lose the settings.
class Termination : public QObject
{
    Q_OBJECT

public:
    // Catches the signals from now on; one object per process.
    explicit Termination(QObject *parent = nullptr);
    ~Termination() override;

    // A signal has come: nothing new is to be opened.
    bool Requested() const { return m_requested; }

private:
    void OnSignal();

    QSocketNotifier *m_notifier = nullptr;
    bool m_requested = false;
};
