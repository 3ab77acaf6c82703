// The main window's help commands: the help pages, the About box, the home
// page and Tip of the Day.
#include "app/CKelvaroDlg.h"

#include "help/CTipOfTheDayDialog.h"

void CKelvaroDlg::OnHelpContents() {}
void CKelvaroDlg::OnAbout() {}
void CKelvaroDlg::OnHomePage() {}

void CKelvaroDlg::OnTipOfTheDay()
{
    CTipOfTheDayDialog tip;
    tip.DoModal();
}
