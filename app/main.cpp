#include "app/CKelvaroApp.h"
#include "app/CommandLineOptions.h"
#include "app/ConvertCommand.h"
#include "platform/FileNames.h"

#include <QString>
#include <QStringList>

#include <cstdio>

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << FileNameFromBytes(argv[i]);  // a file's name kept as its bytes
    // Answered before any window exists, so they work without a display.
    const CommandLine line = CommandLineOptions::Parse(arguments);
    switch (line.action) {
    case CommandLine::Action::Print:
        std::fputs(line.text.toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Action::Refuse:
        std::fputs(line.text.toLocal8Bit().constData(), stderr);
        return 2;
    case CommandLine::Action::Convert:
        return ConvertCommand::Run(argc, argv, line);
    case CommandLine::Action::Window:
        break;
    }
    CKelvaroApp app(argc, argv);
    app.InitInstance();
    return app.ExitInstance();
}
