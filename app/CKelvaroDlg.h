#pragma once

#include "engine/ConversionSettings.h"
#include "engine/Settings.h"

#include <QDialog>
#include <QIcon>

#include <array>
#include <memory>
#include <vector>

class Converter;
class CIconButton;
class CMoviePlayer;
class CProgressDlg;
class CNiceSliderCtrl;
class DialogBuilder;
class ProbeQueue;
class SourceList;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QRadioButton;
class QSlider;
class QTreeView;
class SourceTable;

// The main window: the source list, the settings, the preview and the
// command buttons. It owns the settings, the source table and the progress
// window, and routes every command to its handler. The work itself is done
// by the engine's objects (the probe queue, the list commands, the batch):
// the window turns clicks into calls on them and shows what they say.
class CKelvaroDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CKelvaroDlg(QWidget *parent = nullptr);
    ~CKelvaroDlg() override;

    // Runs the window until it is closed; the result is of no interest.
    int DoModal();

    // Runs one command by number, as a button or a menu item sends it;
    // false for a number the window does not handle.
    bool OnCommand(int id);

    // Adds files as the add command does, without asking for them (files
    // named on the command line or dropped on the list); names that find no
    // file are reported.
    void AddFiles(const QStringList &paths);

    // Runs a command of the window's own menu (its "system menu").
    void OnSysCommand(int id);

    const ConversionSettings &Settings() const { return m_settings; }
    SourceTable &Sources() { return *m_sources; }
    const QString &VersionText() const { return m_version; }
    int PreviewStateValue() const;
    CProgressDlg *ProgressDialog() const { return m_progress.get(); }
    bool IsConverting() const;
    QWidget *Control(int id) const;
    const DialogBuilder &Layout() const { return *m_builder; }

    // The system-menu command that shows the About box.
    static constexpr int IDM_ABOUTBOX = 0x0010;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    // One row of the window's message map: a command number and its handler.
    struct Route {
        int id;
        void (CKelvaroDlg::*handler)();
    };
    static const std::vector<Route> &CommandMap();

    void DoDataExchange();
    void OnInitDialog();
    void WireMessageMap();
    void ConfigureButtons();
    void SetUpList();
    void ShowPopup(QMenu *menu, QPoint position, bool throughSkin);

    // Settings.
    void InitSettingsControls();
    void InitVolumeControls();
    void CheckCodecRadio();
    void OnCodecMpeg4();
    void OnCodecXvid();
    void OnCodecH264();
    void OnQualityChange();
    void OnResolutionChange();
    void OnLetterbox();
    void OnHScroll(int position);
    void OnBrowseFolder();
    void OnFolderEntered();

    // Source list.
    class ListWindow;
    void CreateListCommands();
    static QString FileFilter();
    int SelectedRow() const;
    void OnAddFiles();
    void OnRemoveFile();
    void OnMoveUp();
    void OnMoveDown();
    void OnListRightClick(QPoint position);
    void OnListDoubleClick();

    // Preview.
    class PreviewWindow;
    void CreatePreview();
    void OnPlayPause();
    void OnStop();
    void OnPlayerStopped();
    void OnPlayerPosition(double seconds);
    void OnPositionReleased();
    void StopPreview();
    // The loaded row follows its file through the list's changes.
    void PreviewRowRemoved(int row);
    void PreviewRowsSwapped(int first, int second);

    // Conversion.
    void CreateProgressDialog();
    void OnConvert();
    void OnBatchStarted(const QString &text);
    void OnProgressOver();

    // Help.
    void OnHelpButton();
    void OnHelpContents();
    void OnAbout();
    void OnHomePage();
    void OnTipOfTheDay();

    ConversionSettings m_settings;
    Settings::Files m_settingsFiles;
    QString m_version;
    std::unique_ptr<DialogBuilder> m_builder;
    SourceTable *m_sources = nullptr;
    ProbeQueue *m_probes = nullptr;
    Converter *m_converter = nullptr;
    std::unique_ptr<CProgressDlg> m_progress;
    ListWindow *m_listWindow = nullptr;        // a child: the list commands
    PreviewWindow *m_previewWindow = nullptr;  // a child: the preview's states
    bool m_chooserOpen = false;  // a file or folder chooser is open
    QIcon m_icon;

    QComboBox *m_quality = nullptr;
    QLabel *m_volumeLabel = nullptr;
    QSlider *m_volume = nullptr;
    QCheckBox *m_letterbox = nullptr;
    QComboBox *m_resolution = nullptr;
    CNiceSliderCtrl *m_position = nullptr;
    QLineEdit *m_folder = nullptr;
    CIconButton *m_stop = nullptr;
    CIconButton *m_play = nullptr;
    CIconButton *m_moveUp = nullptr;
    CIconButton *m_removeSmall = nullptr;
    CIconButton *m_moveDown = nullptr;
    CIconButton *m_addSmall = nullptr;
    CIconButton *m_help = nullptr;
    CIconButton *m_add = nullptr;
    CIconButton *m_remove = nullptr;
    CIconButton *m_convert = nullptr;
    QWidget *m_browse = nullptr;
    QFrame *m_backdrop = nullptr;
    QTreeView *m_list = nullptr;
    CMoviePlayer *m_preview = nullptr;
    std::unique_ptr<QWidget> m_codecHolder;  // never shown
    std::array<QRadioButton *, 3> m_codecRadios{};
};
