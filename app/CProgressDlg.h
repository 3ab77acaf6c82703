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

    // Makes the window, hidden and centred on the screen, as a companion of
    // `owner` rather than its child: the owner is disabled during a batch,
    // and Qt would disable its children with it.
    void Create(QWidget *owner);

    // Shows the window over its owner, tied to it and, the first time,
    // centred on it: the window manager keeps it above the owner, and the
    // owner's modal loop lets it take clicks and keys while the owner itself
    // is disabled.
    void ShowOverOwner();

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
    QWidget *m_owner = nullptr;
    bool m_placed = false;  // centred over the owner once
    QProgressBar *m_bar = nullptr;
    QLabel *m_text = nullptr;
};
