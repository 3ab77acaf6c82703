#include "help/ProductInfo.h"

QString HomePageAddress()
{
    return QStringLiteral(KELVARO_HOME_PAGE_URL);
}

QString SupportAddress()
{
    return QStringLiteral(KELVARO_SUPPORT_URL);
}
