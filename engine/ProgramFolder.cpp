#include "engine/ProgramFolder.h"

#include "platform/Host.h"

QString GetProgramFolder()
{
    return Host::Instance().ProgramFolder();
}

QString EncoderProgramPath()
{
    return GetProgramFolder() + QLatin1String("morlenc");
}
