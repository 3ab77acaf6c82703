// The main window's help commands: the help pages, the About box, the home
// page and Tip of the Day.
#include "app/CKelvaroDlg.h"

#include "app/Skin.h"
#include "platform/OpenLink.h"
#include "help/CAboutBox.h"
#include "help/CTipOfTheDayDialog.h"
#include "help/HtmlHelp.h"
#include "help/ProductInfo.h"

void CKelvaroDlg::OnHelpContents()
{
    CallHtmlHelp(nullptr, HelpOverviewPath(), HH_DISPLAY_TOPIC, 0);
}

void CKelvaroDlg::OnAbout()
{
    CAboutBox about(m_version, Skin::ApplyToWindow, this);
    about.DoModal();
}

void CKelvaroDlg::OnHomePage()
{
    // A failed open stays silent here; the About box's link reports it.
    OpenLink(HomePageAddress(), kShowNormal);
}

void CKelvaroDlg::OnTipOfTheDay()
{
    CTipOfTheDayDialog tip;
    tip.DoModal();
}
