// The main window's Convert command: the batch over every row, its progress
// window, cancelling and the final report.
#include "app/CKelvaroDlg.h"

#include "app/CProgressDlg.h"
#include "engine/CommandLine.h"
#include "engine/EncoderLauncher.h"
#include "platform/EncoderContract.h"
#include "platform/Host.h"
#include "sources/ProbeQueue.h"
#include "sources/SourceTable.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QTimer>

namespace {

// Two paths name the same file (symbolic links and ".." resolved).
bool SameFile(const QString &a, const QString &b)
{
    const QFileInfo first(a);
    const QFileInfo second(b);
    const QString canonicalA = first.canonicalFilePath();
    const QString canonicalB = second.canonicalFilePath();
    if (!canonicalA.isEmpty() && !canonicalB.isEmpty())
        return canonicalA == canonicalB;
    return first.absoluteFilePath() == second.absoluteFilePath();
}

} // namespace

void CKelvaroDlg::OnProgramEnded()
{
    if (!m_abandonedFolder.isEmpty())
        RemoveAbandonedPartFiles(m_abandonedFolder);
}

void CKelvaroDlg::CreateProgressDialog()
{
    m_progress = std::make_unique<CProgressDlg>();
    m_progress->Create(this);
    connect(m_progress.get(), &CProgressDlg::CancelRequested, this, [this] { m_batch.RequestCancel(); });
}

void CKelvaroDlg::OnConvert()
{
    StopPreview();
    Host &host = Host::Instance();
    if (m_sources->RowCount() == 0) {
        host.MessageBox(QStringLiteral("No file in the list"), Host::ApplicationTitle(), Host::Buttons::Ok,
                        Host::Icon::None);
        return;
    }
    m_settings.outputFolder = m_folder->text();
    if (MakeFolder(AbsoluteOutputFolder(m_settings.outputFolder)) != 0) {
        host.MessageBox(QStringLiteral("Fail to create tmp folder %1").arg(m_settings.outputFolder),
                        Host::ApplicationTitle(), Host::Buttons::Ok, Host::Icon::None);
        return;
    }
    // What encoders killed in an earlier run left behind.
    RemoveAbandonedPartFiles(AbsoluteOutputFolder(m_settings.outputFolder));
    m_abandonedFolder.clear();
    m_batch.Start(host.TickCount());
    m_batchOutputs.clear();
    m_converting = true;
    setEnabled(false);
    m_progress->SetText(ConversionBatch::StartText());
    m_progress->SetRange(0, 1000);
    m_progress->SetPos(0);
    m_progress->ShowOverOwner();
    StartRow(0);
}

void CKelvaroDlg::StartRow(int row)
{
    const QString source = m_sources->Path(row);
    const QString output = BuildOutputPath(m_settings, source);
    m_rowFailure = 0;
    m_rowOutput.clear();

    // The output replaces a file of that name only when the conversion is
    // complete (the encoder writes beside it and renames), so a failed
    // conversion keeps the old file. It must never be one of the sources,
    // nor a file this batch has just made.
    int refusal = 0;
    for (int i = 0; i < m_sources->RowCount() && refusal == 0; ++i) {
        if (SameFile(output, m_sources->Path(i)))
            refusal = ENC_FAIL_SOURCE_IS_OUTPUT;
    }
    for (const QString &made : m_batchOutputs) {
        if (refusal == 0 && SameFile(output, made))
            refusal = ENC_FAIL_OUTPUT_TAKEN;
    }
    if (refusal != 0) {
        // As if the encoder had failed: reported and ended from the event
        // loop, so a long run of refused rows cannot nest.
        QTimer::singleShot(0, this, [this, refusal] {
            OnConversionMessage(ENC_FAILED, refusal);
            OnConversionMessage(ENC_FILE_DONE, 0);
        });
        return;
    }
    m_rowOutput = output;
    const LetterboxMargins margins =
        ComputeLetterboxMargins(m_settings, m_sources->Width(row), m_sources->Height(row));
    m_launcher->LaunchEncoder(source, output, margins.horizontal, margins.vertical, ENC_MODE_CONVERT);
}

int CKelvaroDlg::OnConversionMessage(int code, int value)
{
    if (!m_converting)
        return 0;
    switch (code) {
    case ENC_FAILED:
        m_rowFailure = value;
        // An encoder killed outright could not remove its unfinished file.
        // It is removed now, or, if the encoder is not quite gone yet, when
        // it has been reaped.
        if (value == ENC_FAIL_DIED) {
            m_abandonedFolder = AbsoluteOutputFolder(m_settings.outputFolder);
            RemoveAbandonedPartFiles(m_abandonedFolder);
        }
        return 0;
    case ENC_PROGRESS: {
        const int result = ReportProgress(value);
        if (result == 1) {
            EndBatch();
            // After the encoder has its answer: a message about files not
            // added may have waited for the batch to end.
            QTimer::singleShot(0, this, [this] { m_probes->ReportProblems(); });
        }
        return result;
    }
    case ENC_FILE_DONE:
        OnFileDone();
        return 0;
    default:
        return 0;
    }
}

void CKelvaroDlg::OnFileDone()
{
    const int row = m_batch.CurrentRow();
    if (m_rowFailure != 0)
        m_batch.RecordFailure(m_sources->Path(row), QString::fromLatin1(EncoderFailureText(m_rowFailure)));
    else
        m_batchOutputs << m_rowOutput;
    m_batch.FinishRow(m_sources->Duration(row));
    // Read afresh: probes still running may have added rows meanwhile.
    if (m_batch.CurrentRow() < m_sources->RowCount()) {
        StartRow(m_batch.CurrentRow());
        return;
    }
    EndBatch();
    const bool failed = !m_batch.Failures().isEmpty();
    Host &host = Host::Instance();
    host.MessageBox(m_batch.CompletionText(host.TickCount(), m_sources->RowCount()),
                    Host::ApplicationTitle(), Host::Buttons::Ok,
                    failed ? Host::Icon::Warning : Host::Icon::Information, m_batch.FailureDetails());
    m_probes->ReportProblems();
}

void CKelvaroDlg::EndBatch()
{
    m_converting = false;
    setEnabled(true);
    m_progress->hide();
}

int CKelvaroDlg::ReportProgress(double value)
{
    if (m_batch.CountReport())
        PumpOneMessage();
    if (m_batch.CancelRequested()) {
        const auto answer = Host::Instance().MessageBox(QStringLiteral("Do you really want to stop?"),
                                                        Host::ApplicationTitle(), Host::Buttons::YesNo,
                                                        Host::Icon::Question);
        if (answer == Host::Answer::Yes)
            return 1;
        m_batch.ClearCancel();
    }
    PumpOneMessage();
    const auto display =
        m_batch.TakeProgress(value, m_sources->TotalDuration(), Host::Instance().TickCount());
    if (!display)
        return 0;
    m_progress->SetText(display->text);
    m_progress->SetPos(display->permille);
    PumpOneMessage();
    return 0;
}

void CKelvaroDlg::PumpOneMessage()
{
    // The event loop runs between encoder messages anyway; this keeps the
    // windows painted while one report is being handled.
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

void CKelvaroDlg::closeEvent(QCloseEvent *event)
{
    // The window is disabled during a batch; its close box asks the
    // progress window to stop instead of ending the program under it.
    if (m_converting) {
        event->ignore();
        m_progress->OnCancelProcessing();
        m_progress->raise();
        return;
    }
    QDialog::closeEvent(event);
}
