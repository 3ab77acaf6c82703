#include "app/CProgressDlg.h"

#include "platform/DialogBuilder.h"
#include "res/Templates.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

CProgressDlg::CProgressDlg()
    : m_builder(std::make_unique<DialogBuilder>(*FindTemplate(IDD_PROGRESS)))
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    m_builder->Build(this);
    m_bar = m_builder->Control<QProgressBar>(IDC_PROGRESS_BAR);
    m_text = m_builder->Control<QLabel>(IDC_PROGRESS_TEXT);
    m_bar->setAccessibleName(QStringLiteral("Progress"));
    auto *cancel = m_builder->Control<QPushButton>(IDC_PROGRESS_CANCEL);
    // Enter must not press Cancel either: only a deliberate click stops.
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &CProgressDlg::OnCancelProcessing);
}

CProgressDlg::~CProgressDlg() = default;

void CProgressDlg::Create(QWidget *owner)
{
    m_owner = owner ? owner->window() : nullptr;
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect area = rect();
        area.moveCenter(screen->availableGeometry().center());
        move(area.topLeft());
    }
    hide();
}

void CProgressDlg::ShowOverOwner()
{
    if (m_owner) {
        // The owner has its native window only once it has been shown, long
        // after Create: tie the two now. Qt lets a window whose transient
        // parent is the modal window take input; the window manager stacks
        // a transient window above its parent.
        m_owner->winId();
        winId();
        windowHandle()->setTransientParent(m_owner->windowHandle());
        // Centred at its first showing only: where the person then puts it
        // is where it appears at the next batch.
        if (!m_placed) {
            QRect area = frameGeometry();
            area.moveCenter(m_owner->frameGeometry().center());
            move(area.topLeft());
            m_placed = true;
        }
    }
    show();
    raise();
    activateWindow();
}

void CProgressDlg::SetText(const QString &text)
{
    m_text->setText(text);
}

QString CProgressDlg::Text() const
{
    return m_text->text();
}

void CProgressDlg::SetRange(int minimum, int maximum)
{
    m_bar->setRange(minimum, maximum);
}

void CProgressDlg::SetPos(int position)
{
    m_bar->setValue(position);
}

int CProgressDlg::Pos() const
{
    return m_bar->value();
}

void CProgressDlg::OnCancelProcessing()
{
    SetText(QStringLiteral("Cancel processing..."));
    Q_EMIT CancelRequested();
}

void CProgressDlg::keyPressEvent(QKeyEvent *event)
{
    // Enter must never close this window or press Cancel by accident.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CProgressDlg::closeEvent(QCloseEvent *event)
{
    event->ignore();
    OnCancelProcessing();
}

void CProgressDlg::reject()
{
    OnCancelProcessing();
}
