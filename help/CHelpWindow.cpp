#include "help/CHelpWindow.h"

#include "controls/CLinkLabel.h"
#include "platform/OpenLink.h"

#include <QHBoxLayout>
#include <QKeySequence>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

CHelpWindow::CHelpWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_browser(new QTextBrowser(this))
{
    setWindowTitle(QStringLiteral("Kelvaro Help"));
    resize(820, 600);

    auto *buttons = new QHBoxLayout;
    m_back = AddButton(QStringLiteral("Back"), QStyle::SP_ArrowBack);
    m_forward = AddButton(QStringLiteral("Forward"), QStyle::SP_ArrowForward);
    QToolButton *home = AddButton(QStringLiteral("Home"), QStyle::SP_DirHomeIcon);
    for (QToolButton *button : {m_back, m_forward, home})
        buttons->addWidget(button);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(buttons);
    layout->addWidget(m_browser);

    m_back->setEnabled(false);
    m_forward->setEnabled(false);
    // The window decides where a link goes: pages here, the web outside.
    m_browser->setOpenLinks(false);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &CHelpWindow::OnLinkClicked);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QWidget::setEnabled);
    connect(m_back, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(home, &QToolButton::clicked, this, &CHelpWindow::OnHome);
    new QShortcut(QKeySequence::Cancel, this, this, &QWidget::close);
}

QToolButton *CHelpWindow::AddButton(const QString &text, QStyle::StandardPixmap icon)
{
    auto *button = new QToolButton(this);
    button->setText(text);
    button->setIcon(style()->standardIcon(icon));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    return button;
}

void CHelpWindow::ShowTopic(const QString &file)
{
    m_home = QUrl::fromLocalFile(file);
    if (m_browser->source() != m_home)
        m_browser->setSource(m_home);
    if (!m_placed) {
        // The middle of the screen, the first time; later where it was left.
        move(screen()->availableGeometry().center() - rect().center());
        m_placed = true;
    }
    show();
    raise();
    activateWindow();
}

void CHelpWindow::OnHome()
{
    if (m_home.isValid())
        m_browser->setSource(m_home);
}

void CHelpWindow::OnLinkClicked(const QUrl &link)
{
    const QUrl target = m_browser->source().resolved(link);
    if (target.isLocalFile()) {
        m_browser->setSource(target);
        return;
    }
    const QString address = target.toString();
    const int result = OpenLink(address, kShowNormal);
    if (result <= 32)
        ReportLinkError(result, address);
}
