#pragma once

#include <QString>

// The product's web addresses. They are build settings, so that a packager
// can point them elsewhere without touching the code:
//   cmake -DKELVARO_HOME_PAGE_URL=... -DKELVARO_SUPPORT_URL=...
QString HomePageAddress();
QString SupportAddress();
