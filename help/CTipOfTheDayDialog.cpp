#include "help/CTipOfTheDayDialog.h"

#include "engine/ProgramFolder.h"
#include "platform/DialogBuilder.h"
#include "platform/Host.h"
#include "platform/Profile.h"
#include "res/Strings.h"
#include "res/Templates.h"
#include "res/pictures/Pictures.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QPainter>
#include <QPushButton>

namespace {

const QString kTip = QStringLiteral("Tip");

void ReportTrouble()
{
    Host::Instance().MessageBox(LoadStringResource(IDS_TIP_FILE_CORRUPT),
                                QCoreApplication::applicationName(), Host::Buttons::Ok,
                                Host::Icon::None);
}

} // namespace

CTipOfTheDayDialog::CTipOfTheDayDialog(QWidget *parent)
    : QDialog(parent)
    , m_builder(std::make_unique<DialogBuilder>(*FindTemplate(IDD_TIP)))
    , m_tips(GetProgramFolder() + QLatin1String("tips.txt"))
{
    const QString profile = ApplicationProfilePath();
    m_showAtStartup = GetProfileInt(profile, kTip, QStringLiteral("StartUp"), 0) == 0;
    qint64 offset = GetProfileInt(profile, kTip, QStringLiteral("FilePos"), 0);

    if (!m_tips.IsOpen()) {
        m_tipText = LoadStringResource(IDS_TIP_FILE_ABSENT);
    } else {
        const QString stamp = m_tips.TimeStamp();
        if (stamp != GetProfileString(profile, kTip, QStringLiteral("TimeStamp"), QString())) {
            WriteProfileString(profile, kTip, QStringLiteral("TimeStamp"), stamp);
            offset = 0;
        }
        if (!m_tips.Seek(offset))
            ReportTrouble();
        else
            m_tipText = m_tips.ReadNextTip(ReportTrouble);
    }

    m_builder->Build(this);
    m_startup = m_builder->Control<QCheckBox>(IDC_TIP_STARTUP);
    m_startup->setChecked(m_showAtStartup);
    auto *next = m_builder->Control<QPushButton>(IDC_TIP_NEXT);
    next->setEnabled(m_tips.IsOpen());
    connect(next, &QPushButton::clicked, this, &CTipOfTheDayDialog::OnNextTip);
    connect(m_builder->Control<QPushButton>(IDOK), &QPushButton::clicked, this, &QDialog::accept);
}

CTipOfTheDayDialog::~CTipOfTheDayDialog()
{
    if (m_tips.IsOpen())
        WriteProfileString(ApplicationProfilePath(), kTip, QStringLiteral("FilePos"),
                           QString::number(m_tips.Position()));
}

void CTipOfTheDayDialog::OnNextTip()
{
    m_tipText = m_tips.ReadNextTip(ReportTrouble);
    update();
}

void CTipOfTheDayDialog::accept()
{
    QDialog::accept();
    m_showAtStartup = m_startup->isChecked();
    WriteProfileString(ApplicationProfilePath(), kTip, QStringLiteral("StartUp"),
                       m_showAtStartup ? QStringLiteral("0") : QStringLiteral("1"));
}

QRect CTipOfTheDayDialog::ControlArea(int id) const
{
    const QWidget *control = m_builder->Control(id);
    return control ? control->geometry() : QRect();
}

void CTipOfTheDayDialog::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    QRect area = ControlArea(IDC_TIP_PICTURE);
    area.setBottom(area.bottom() - 50);
    painter.fillRect(area, Qt::white);

    const QPixmap bulb = LoadBitmapResource(IDB_LIGHTBULB);
    painter.drawPixmap(area.topLeft(), bulb);
    painter.setPen(Qt::black);
    QFont heading = font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.4);
    painter.setFont(heading);
    const QRect band(area.left() + bulb.width() + 6, area.top(), area.width() - bulb.width() - 6,
                     bulb.height());
    painter.drawText(band, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     LoadStringResource(IDS_TIP_DIDYOUKNOW));

    painter.setFont(font());
    painter.drawText(ControlArea(IDC_TIP_TEXT), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                     m_tipText.trimmed());
}
