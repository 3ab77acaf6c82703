#include "platform/TerminalHost.h"

#include <cstdlib>

#include <unistd.h>

namespace {

// Progress on a pipe or in a log: a line per 5 % or per 30 seconds.
constexpr int kPercentStep = 5;
constexpr std::uint32_t kProgressIntervalMs = 30000;

} // namespace

TerminalHost::TerminalHost(std::FILE *out)
    : m_out(out)
    , m_terminal(::isatty(::fileno(out)) == 1)
{
}

void TerminalHost::Write(const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), m_out);
    std::fflush(m_out);
}

Host::Answer TerminalHost::MessageBox(const QString &text, const QString &caption, Buttons buttons,
                                      Icon, const QString &details)
{
    EndProgress();
    QString message = caption + QLatin1String(": ") + text + QLatin1Char('\n');
    if (!details.isEmpty())
        message += details + QLatin1Char('\n');
    Write(message);
    return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
}

QStringList TerminalHost::ChooseFilesToOpen(const QString &, const QString &)
{
    return {};
}

QString TerminalHost::ChooseFolder(const QString &, const QString &)
{
    return {};
}

bool TerminalHost::OpenUrl(const QString &)
{
    return false;
}

void TerminalHost::ShowProgress(const QString &text, int permille)
{
    if (!m_terminal) {
        const int percent = permille / 10;
        const std::uint32_t now = TickCount();
        if (m_writtenPercent >= 0 && std::abs(percent - m_writtenPercent) < kPercentStep
            && now - m_writtenTick < kProgressIntervalMs)
            return;
        m_writtenPercent = percent;
        m_writtenTick = now;
        Write(text + QLatin1Char('\n'));
        return;
    }
    // Back to the start of the line, the new text, the rest of the old one
    // cleared.
    Write(QLatin1Char('\r') + text + QLatin1String("\x1b[K"));
    m_progress = text;
    m_progressOpen = true;
}

void TerminalHost::ShowLine(const QString &text)
{
    if (!m_progressOpen) {
        Write(text + QLatin1Char('\n'));
        return;
    }
    // In the progress line's place, which comes back below it.
    Write(QLatin1Char('\r') + text + QLatin1String("\x1b[K\n") + m_progress);
}

void TerminalHost::EndProgress()
{
    if (m_progressOpen)
        Write(QStringLiteral("\n"));
    m_progressOpen = false;
}
