// Commands whose work is still to come; they are routed already so that the
// window's message map is complete.
#include "app/CKelvaroDlg.h"

void CKelvaroDlg::OnListDoubleClick() {}
void CKelvaroDlg::OnPlayPause() {}
void CKelvaroDlg::OnStop() {}
void CKelvaroDlg::OnPositionReleased() {}
void CKelvaroDlg::StopPreview() {}
