#include "engine/JobCount.h"

#include "engine/ConversionSettings.h"

#include <QString>
#include <QThread>

#include <algorithm>

namespace JobCount {

int Default()
{
    return std::clamp(QThread::idealThreadCount(), 1, kMost);
}

int FromText(const QString &text)
{
    bool ok = false;
    const int count = text.trimmed().toInt(&ok);
    return ok && count >= 1 && count <= kMost ? count : 0;
}

int Of(const ConversionSettings &settings)
{
    return settings.jobs >= 1 && settings.jobs <= kMost ? settings.jobs : Default();
}

int CodecThreads(int jobs, int cores)
{
    return jobs <= 1 ? 0 : std::max(1, cores / jobs);
}

} // namespace JobCount
