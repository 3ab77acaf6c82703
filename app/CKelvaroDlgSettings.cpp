// The main window's settings controls: quality, resolution, letterbox,
// volume, output folder and the (hidden) codec choice.
#include "app/CKelvaroDlg.h"

#include "platform/Host.h"
#include "sources/ProbeQueue.h"
#include "engine/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>

namespace {

QString VolumeText(int volume)
{
    return QString::number(volume) + QLatin1Char('%');
}

} // namespace

void CKelvaroDlg::InitSettingsControls()
{
    CheckCodecRadio();
    Settings::ApplyResolution(m_settings);
    // An index outside the list selects nothing, as the file asked.
    m_resolution->setCurrentIndex(m_settings.resolution < m_resolution->count() ? m_settings.resolution : -1);
    m_folder->setText(m_settings.outputFolder);
    m_letterbox->setChecked(m_settings.letterbox != 0);
    m_quality->setCurrentIndex(m_settings.quality < m_quality->count() ? m_settings.quality : -1);
    Settings::ApplyQuality(m_settings);
}

void CKelvaroDlg::InitVolumeControls()
{
    const QSignalBlocker quiet(m_volume);
    m_volume->setRange(0, 200);
    m_volume->setValue(m_settings.volume);
    m_volumeLabel->setText(VolumeText(m_settings.volume));
}

void CKelvaroDlg::CheckCodecRadio()
{
    const int checked = m_settings.codec == 0 ? 0 : m_settings.codec == 1 ? 1 : 2;
    for (int i = 0; i < int(m_codecRadios.size()); ++i) {
        // Radios of one parent exclude each other; clearing one needs the
        // exclusion off for a moment.
        m_codecRadios[i]->setAutoExclusive(false);
        m_codecRadios[i]->setChecked(i == checked);
        m_codecRadios[i]->setAutoExclusive(true);
    }
}

void CKelvaroDlg::OnCodecMpeg4()
{
    m_settings.codec = 0;
    CheckCodecRadio();
}

void CKelvaroDlg::OnCodecXvid()
{
    m_settings.codec = 1;
    CheckCodecRadio();
}

void CKelvaroDlg::OnCodecH264()
{
    m_settings.codec = 2;
    CheckCodecRadio();
}

void CKelvaroDlg::OnQualityChange()
{
    m_settings.quality = m_quality->currentIndex();
    Settings::ApplyQuality(m_settings);
}

void CKelvaroDlg::OnResolutionChange()
{
    m_settings.resolution = m_resolution->currentIndex();
    Settings::ApplyResolution(m_settings);
}

void CKelvaroDlg::OnLetterbox()
{
    // A click flips the box; the setting follows it, also when the option
    // file held a value other than 0 or 1 (shown as checked).
    m_settings.letterbox = m_settings.letterbox != 0 ? 0 : 1;
}

void CKelvaroDlg::OnHScroll(int position)
{
    m_settings.volume = position;
    m_volumeLabel->setText(VolumeText(position));
}

void CKelvaroDlg::OnBrowseFolder()
{
    m_chooserOpen = true;
    QString folder = Host::Instance().ChooseFolder(QStringLiteral("Select a temporary folder"),
                                                   m_folder->text());
    m_chooserOpen = false;
    m_probes->ReportProblems();
    if (folder.isNull())
        return;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    m_folder->setText(folder);
    m_settings.outputFolder = folder;
}

void CKelvaroDlg::OnFolderEntered()
{
    // Enter in the field confirms the typed folder, as browsing would.
    m_settings.outputFolder = m_folder->text();
}
