// The main window's Convert command: it hands the list to the batch and
// shows what the batch says in the progress window.
#include "app/CKelvaroDlg.h"

#include "app/CProgressDlg.h"
#include "engine/Converter.h"
#include "sources/SourceTable.h"

#include <QCloseEvent>
#include <QLineEdit>

void CKelvaroDlg::CreateProgressDialog()
{
    m_progress = std::make_unique<CProgressDlg>();
    m_progress->Create(this);
    connect(m_progress.get(), &CProgressDlg::CancelRequested, m_converter, &Converter::RequestCancel);
}

bool CKelvaroDlg::IsConverting() const
{
    return m_converter->IsRunning();
}

void CKelvaroDlg::OnConvert()
{
    StopPreview();
    m_converter->Start(m_folder->text());
}

void CKelvaroDlg::OnBatchStarted(const QString &text)
{
    m_sources->ResetStates();
    setEnabled(false);
    m_progress->SetText(text);
    m_progress->SetRange(0, 1000);
    m_progress->SetPos(0);
    m_progress->ShowOverOwner();
}

void CKelvaroDlg::OnProgressOver()
{
    // Rows a stop cut short were not converted; they wait for the next batch.
    m_sources->ResetStates(SourceTable::State::Converting);
    setEnabled(true);
    m_progress->hide();
}

void CKelvaroDlg::closeEvent(QCloseEvent *event)
{
    // The window is disabled during a batch; its close box asks the
    // progress window to stop instead of ending the program under it.
    if (m_converter->IsRunning()) {
        event->ignore();
        m_progress->OnCancelProcessing();
        m_progress->raise();
        return;
    }
    QDialog::closeEvent(event);
}
