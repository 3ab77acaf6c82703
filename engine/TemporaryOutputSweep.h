#pragma once

#include <QString>

// Removes from the folder the temporary files that encoders of this computer
// left when they were killed outright (see TemporaryOutput.h); with
// `onlyPid`, only that encoder's. Files of running encoders, of other
// computers, or on file systems without locks are left alone. Returns how
// many were removed.
int RemoveAbandonedTemporaryOutputs(const QString &folder, qint64 onlyPid = 0);
