#pragma once

#include <QObject>

class SignalWatch;

// A logout, a shutdown, `kill`, Ctrl+C or a closed terminal ends the program
// the way its close box does: every open dialog is closed, and so is any
// box that opens after the request (a report, a warning), so the main
// window's end saves the settings and nothing waits for a person who has
// gone. Running encoders see their channels close and remove their
// unfinished files. Without this the signal would kill the program on the
// spot and lose the settings.
class Termination : public QObject
{
    Q_OBJECT

public:
    // Catches the signals from now on; one object per process.
    explicit Termination(QObject *parent = nullptr);
    ~Termination() override;

    // A signal has come: nothing new is to be opened.
    bool Requested() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CloseDialogs();

    SignalWatch *m_watch = nullptr;
};
