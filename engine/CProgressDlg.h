#pragma once

#include <QDialog>

#include <memory>

class DialogBuilder;
class QLabel;
class QProgressBar;

// The small window that shows a running batch: one line of text, a bar from
// 0 to 1000 and a Cancel button. Made once, hidden, and shown by each batch.
// Cancel, Escape and the close box only ask for a stop (the batch asks the
// person to confirm at its next progress report); Enter does nothing.
class CProgressDlg : public QDialog
{
    Q_OBJECT

public:
    CProgressDlg();
    ~CProgressDlg() override;

    // Makes the window a companion of `owner` (kept above it, centred on the
    // screen) without making it the owner's child: the owner is disabled
    // during a batch, and this window must stay usable.
    void Create(QWidget *owner);

    void SetText(const QString &text);
    QString Text() const;
    void SetRange(int minimum, int maximum);
    void SetPos(int position);
    int Pos() const;

    void OnCancelProcessing();

Q_SIGNALS:
    void CancelRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    std::unique_ptr<DialogBuilder> m_builder;
    QProgressBar *m_bar = nullptr;
    QLabel *m_text = nullptr;
};
