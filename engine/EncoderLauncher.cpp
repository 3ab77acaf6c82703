#include "engine/EncoderLauncher.h"

#include "engine/CommandLine.h"
#include "platform/EncoderChannel.h"
#include "platform/EncoderContract.h"
#include "platform/Host.h"

EncoderLauncher::EncoderLauncher(const ConversionSettings &settings, Handler handler,
                                 QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_handler(std::move(handler))
{
}

int EncoderLauncher::LaunchEncoder(const QString &source, const QString &output,
                                   int horizontalMargin, int verticalMargin, int mode)
{
    auto *channel = new EncoderChannel(
        mode, [this, mode](int code, int value) { return m_handler(mode, code, value); }, this);
    ++m_running;
    connect(channel, &EncoderChannel::Finished, this, [this, channel] {
        --m_running;
        channel->deleteLater();
    });

    const bool open = channel->Open();
    const EncoderCommand command =
        BuildEncoderCommand(m_settings, source, output, {horizontalMargin, verticalMargin}, mode,
                            channel->ChildDescriptor());
    m_lastOptionString = command.optionString;
    if (!open || !Host::Instance().StartProgram(EncoderProgramPath(), command.arguments,
                                                channel->ChildDescriptor())) {
        channel->FailLater(ENC_FAIL_START);
        return 0;
    }
    channel->ChildStarted();
    return 0;
}
