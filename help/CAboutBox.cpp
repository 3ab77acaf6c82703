#include "help/CAboutBox.h"

#include "controls/CCaptionLabel.h"
#include "controls/CLinkLabel.h"
#include "help/ProductInfo.h"
#include "platform/DialogBuilder.h"
#include "res/Templates.h"
#include "res/pictures/Pictures.h"

#include <QLabel>
#include <QPushButton>

namespace {


QWidget *MakeControl(const ControlTemplate &control, QWidget *parent)
{
    const QString text = QString::fromUtf8(control.text);
    if (control.kind == ControlKind::Icon) {
        auto *icon = new QLabel(parent);
        icon->setPixmap(LoadIconPixmap(IDR_MAINFRAME));
        return icon;
    }
    if (control.id == IDC_ABOUT_TITLE)
        return new CCaptionLabel(text, parent);
    if (control.id != IDC_HOME_LINK && control.id != IDC_SUPPORT_LINK)
        return nullptr;
    auto *link = new CLinkLabel(text, parent);
    // Fitted to their text, centred links keep their centre.
    link->setAlignment(((control.flags & kCentre) ? Qt::AlignHCenter : Qt::AlignLeft)
                       | ((control.flags & kVCentre) ? Qt::AlignVCenter : Qt::AlignTop));
    return link;
}

} // namespace

CAboutBox::CAboutBox(const QString &version, const WindowHook &skinWindow, QWidget *parent)
    : QDialog(parent)
    , m_builder(std::make_unique<DialogBuilder>(*FindTemplate(IDD_ABOUTBOX)))
{
    m_builder->Build(this, MakeControl);
    DoDataExchange();
    OnInitDialog(version, skinWindow);
}

CAboutBox::~CAboutBox() = default;

QString CAboutBox::TitleFor(const QString &version)
{
    return (QStringLiteral("Kelvaro ") + version).left(kMaxTitleLength);
}

QString CAboutBox::Title() const
{
    return m_title->text();
}

void CAboutBox::DoDataExchange()
{
    m_title = m_builder->Control<CCaptionLabel>(IDC_ABOUT_TITLE);
    m_homeLink = m_builder->Control<CLinkLabel>(IDC_HOME_LINK);
    m_supportLink = m_builder->Control<CLinkLabel>(IDC_SUPPORT_LINK);
}

void CAboutBox::OnInitDialog(const QString &version, const WindowHook &skinWindow)
{
    setWindowIcon(LoadIconResource(IDR_MAINFRAME));
    connect(m_builder->Control<QPushButton>(IDOK), &QPushButton::clicked, this, &QDialog::accept);

    m_title->setText(TitleFor(version));
    m_homeLink->SetLinkTarget(HomePageAddress());
    m_homeLink->SetUnderlineMode(1);
    m_supportLink->SetLinkTarget(SupportAddress());
    m_supportLink->SetUnderlineMode(1);
    if (skinWindow) {
        skinWindow(m_homeLink);
        skinWindow(m_supportLink);
    }
}
