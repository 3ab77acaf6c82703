#include "app/CKelvaroDlg.h"

#include "app/CProgressDlg.h"
#include "app/ListSelectionDelegate.h"
#include "app/Skin.h"
#include "controls/CIconButton.h"
#include "controls/CNiceSliderCtrl.h"
#include "engine/Converter.h"
#include "engine/ProgramFolder.h"
#include "platform/DialogBuilder.h"
#include "platform/Host.h"
#include "preview/CMoviePlayer.h"
#include "res/Menus.h"
#include "res/Strings.h"
#include "res/Templates.h"
#include "res/pictures/Pictures.h"
#include "sources/ProbeQueue.h"
#include "sources/SourceTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCursor>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QPixmap>
#include <QShortcut>
#include <QSlider>
#include <QStyle>
#include <QTimer>
#include <QTreeView>

namespace {

QWidget *MakeControl(const ControlTemplate &control, QWidget *parent)
{
    switch (control.kind) {
    case ControlKind::IconButton: return new CIconButton(QString::fromUtf8(control.text), parent);
    case ControlKind::PushButton: {
        if (control.id != IDC_BROWSE)
            return nullptr;
        // The browse button has the icon button's behaviour but the style
        // draws it.
        auto *button = new CIconButton(QString::fromUtf8(control.text), parent);
        button->SetOwnerDraw(false);
        return button;
    }
    case ControlKind::NiceSlider: return new CNiceSliderCtrl(parent);
    case ControlKind::Custom: return control.id == IDC_PREVIEW ? new CMoviePlayer(parent) : nullptr;
    default: return nullptr;
    }
}

} // namespace

const std::vector<CKelvaroDlg::Route> &CKelvaroDlg::CommandMap()
{
    static const std::vector<Route> map{
        {IDC_ADD, &CKelvaroDlg::OnAddFiles},
        {IDC_ADD_SMALL, &CKelvaroDlg::OnAddFiles},
        {ID_LIST_ADD, &CKelvaroDlg::OnAddFiles},
        {IDC_REMOVE, &CKelvaroDlg::OnRemoveFile},
        {IDC_REMOVE_SMALL, &CKelvaroDlg::OnRemoveFile},
        {ID_LIST_REMOVE, &CKelvaroDlg::OnRemoveFile},
        {IDC_MOVE_UP, &CKelvaroDlg::OnMoveUp},
        {ID_LIST_UP, &CKelvaroDlg::OnMoveUp},
        {IDC_MOVE_DOWN, &CKelvaroDlg::OnMoveDown},
        {ID_LIST_DOWN, &CKelvaroDlg::OnMoveDown},
        {IDC_CONVERT, &CKelvaroDlg::OnConvert},
        {IDC_PLAY, &CKelvaroDlg::OnPlayPause},
        {ID_LIST_PLAYPAUSE, &CKelvaroDlg::OnPlayPause},
        {IDC_STOP, &CKelvaroDlg::OnStop},
        {ID_LIST_STOP, &CKelvaroDlg::OnStop},
        {IDC_HELP_BUTTON, &CKelvaroDlg::OnHelpButton},
        {ID_HELP_CONTENT, &CKelvaroDlg::OnHelpContents},
        {ID_HELP_ABOUT, &CKelvaroDlg::OnAbout},
        {ID_HELP_HOMEPAGE, &CKelvaroDlg::OnHomePage},
        {ID_HELP_TIP, &CKelvaroDlg::OnTipOfTheDay},
        {IDC_BROWSE, &CKelvaroDlg::OnBrowseFolder},
        {IDC_CODEC_MPEG4, &CKelvaroDlg::OnCodecMpeg4},
        {IDC_CODEC_XVID, &CKelvaroDlg::OnCodecXvid},
        {IDC_CODEC_H264, &CKelvaroDlg::OnCodecH264},
        {IDC_LETTERBOX, &CKelvaroDlg::OnLetterbox},
    };
    return map;
}

CKelvaroDlg::CKelvaroDlg(QWidget *parent)
    : QDialog(parent)
    , m_settingsFiles(Settings::Files::Find(GetProgramFolder()))
    , m_builder(std::make_unique<DialogBuilder>(*FindTemplate(IDD_MAIN)))
    , m_sources(new SourceTable(this))
    , m_probes(new ProbeQueue(*m_sources, m_settings, this))
    , m_converter(new Converter(*m_sources, m_settings, this))
    , m_icon(LoadIconResource(IDR_MAINFRAME))
{
    // A message about files not added would pop up over the progress window
    // or a chooser the person is busy with; it waits for them instead.
    m_probes->SetReportGate([this] { return !m_converter->IsRunning() && !m_chooserOpen; });
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    m_version = Settings::Load(m_settings, m_settingsFiles);
    m_builder->Build(this, MakeControl);
    DoDataExchange();
    OnInitDialog();
}

CKelvaroDlg::~CKelvaroDlg()
{
    // A termination signal may close the window while a batch or probes
    // run. They end first, and nothing of theirs reaches the window any
    // more: a report handled inside the box below would otherwise find the
    // progress window gone.
    disconnect(m_converter, nullptr, nullptr, nullptr);
    disconnect(m_probes, nullptr, nullptr, nullptr);
    m_converter->StopNow();
    m_probes->Cancel();
    m_progress.reset();
    // However the window was closed, the settings outlive it; if they
    // cannot, the person should know before the next start surprises them.
    if (!Settings::Save(m_settings, m_settingsFiles)) {
        Host::Instance().MessageBox(
            QStringLiteral("Kelvaro could not save its settings in\n%1")
                .arg(m_settingsFiles.options),
            Host::ApplicationTitle(), Host::Buttons::Ok, Host::Icon::Warning);
    }
}

QWidget *CKelvaroDlg::Control(int id) const
{
    return m_builder->Control(id);
}

int CKelvaroDlg::DoModal()
{
    return exec();
}

void CKelvaroDlg::DoDataExchange()
{
    const DialogBuilder &b = *m_builder;
    m_quality = b.Control<QComboBox>(IDC_QUALITY);
    m_volumeLabel = b.Control<QLabel>(IDC_VOLUME_LABEL);
    m_volume = b.Control<QSlider>(IDC_VOLUME);
    m_letterbox = b.Control<QCheckBox>(IDC_LETTERBOX);
    m_resolution = b.Control<QComboBox>(IDC_RESOLUTION);
    m_position = b.Control<CNiceSliderCtrl>(IDC_POSITION);
    m_folder = b.Control<QLineEdit>(IDC_FOLDER);
    m_browse = b.Control(IDC_BROWSE);
    m_stop = b.Control<CIconButton>(IDC_STOP);
    m_play = b.Control<CIconButton>(IDC_PLAY);
    m_moveUp = b.Control<CIconButton>(IDC_MOVE_UP);
    m_removeSmall = b.Control<CIconButton>(IDC_REMOVE_SMALL);
    m_moveDown = b.Control<CIconButton>(IDC_MOVE_DOWN);
    m_addSmall = b.Control<CIconButton>(IDC_ADD_SMALL);
    m_help = b.Control<CIconButton>(IDC_HELP_BUTTON);
    m_add = b.Control<CIconButton>(IDC_ADD);
    m_remove = b.Control<CIconButton>(IDC_REMOVE);
    m_convert = b.Control<CIconButton>(IDC_CONVERT);
    m_backdrop = b.Control<QFrame>(IDC_BACKDROP);
    m_list = b.Control<QTreeView>(IDC_LIST);
    m_preview = b.Control<CMoviePlayer>(IDC_PREVIEW);
    m_codecRadios = {b.Control<QRadioButton>(IDC_CODEC_MPEG4), b.Control<QRadioButton>(IDC_CODEC_XVID),
                     b.Control<QRadioButton>(IDC_CODEC_H264)};
    // The codec radios are never shown; moved out of the window into a
    // holder that is never shown either, screen readers do not offer them.
    m_codecHolder = std::make_unique<QWidget>();
    for (QRadioButton *radio : m_codecRadios)
        radio->setParent(m_codecHolder.get());
    m_quality->addItems(Settings::QualityItems());
    m_resolution->addItems(Settings::ResolutionItems());
}

void CKelvaroDlg::OnInitDialog()
{
    WireMessageMap();
    // On this platform the window manager owns the system menu; the About
    // item is offered by the window's own menu instead (contextMenuEvent).
    setWindowIcon(m_icon);
    SetUpList();
    CreateListCommands();
    Skin::ApplyToWindow(m_backdrop);
    ConfigureButtons();
    InitSettingsControls();
    m_sources->SetTotalDuration(0.0);
    CreateProgressDialog();
    InitVolumeControls();
}

void CKelvaroDlg::WireMessageMap()
{
    for (const Route &route : CommandMap()) {
        if (auto *button = qobject_cast<QAbstractButton *>(Control(route.id))) {
            const int id = route.id;
            connect(button, &QAbstractButton::clicked, this, [this, id] { OnCommand(id); });
        }
    }
    connect(m_quality, &QComboBox::activated, this, &CKelvaroDlg::OnQualityChange);
    connect(m_resolution, &QComboBox::activated, this, &CKelvaroDlg::OnResolutionChange);
    connect(m_volume, &QSlider::valueChanged, this, &CKelvaroDlg::OnHScroll);
    connect(m_position, &CNiceSliderCtrl::ReleasedCapture, this, &CKelvaroDlg::OnPositionReleased);
    // F1: the help, as everywhere.
    auto *help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, &CKelvaroDlg::OnHelpContents);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this, &CKelvaroDlg::OnListRightClick);
    connect(m_list, &QAbstractItemView::doubleClicked, this, &CKelvaroDlg::OnListDoubleClick);
    // The batch says what to show.
    connect(m_converter, &Converter::Started, this, &CKelvaroDlg::OnBatchStarted);
    connect(m_converter, &Converter::Progressed, this, [this](const QString &text, int permille) {
        m_progress->SetText(text);
        m_progress->SetPos(permille);
    });
    connect(m_converter, &Converter::ProgressOver, this, &CKelvaroDlg::OnProgressOver);
    // The list shows which rows are being converted and which are done.
    connect(m_converter, &Converter::RowStarted, this,
            [this](int row) { m_sources->SetState(row, SourceTable::State::Converting); });
    connect(m_converter, &Converter::RowEnded, this, [this](int row, const QString &failure) {
        m_sources->SetState(row, failure.isEmpty() ? SourceTable::State::Converted
                                                   : SourceTable::State::NotConverted);
    });
    // A message about files not added may have waited for the batch.
    connect(m_converter, &Converter::Idle, m_probes, &ProbeQueue::ReportProblems);
    // The player's events.
    connect(m_preview, &CMoviePlayer::PlayerStopped, this, &CKelvaroDlg::OnPlayerStopped);
    connect(m_preview, &CMoviePlayer::PlayerPosition, this, &CKelvaroDlg::OnPlayerPosition);
}

bool CKelvaroDlg::OnCommand(int id)
{
    for (const Route &route : CommandMap()) {
        if (route.id == id) {
            (this->*route.handler)();
            return true;
        }
    }
    return false;
}

void CKelvaroDlg::OnSysCommand(int id)
{
    if ((id & 0xFFF0) == IDM_ABOUTBOX)
        OnAbout();
}

void CKelvaroDlg::SetUpList()
{
    m_list->setModel(m_sources);
    // Small enough to keep the rows' height, and a blank one for waiting
    // rows, so that every number stands in the same place.
    m_list->setIconSize(QSize(12, 12));
    QPixmap blank(m_list->iconSize());
    blank.fill(Qt::transparent);
    m_sources->SetStateMarks({
        {SourceTable::State::Waiting, QIcon(blank)},
        {SourceTable::State::Converting, style()->standardIcon(QStyle::SP_MediaPlay)},
        {SourceTable::State::Converted, style()->standardIcon(QStyle::SP_DialogApplyButton)},
        {SourceTable::State::NotConverted, style()->standardIcon(QStyle::SP_MessageBoxWarning)},
    });
    m_sources->SetColumns(
        {QStringLiteral(" Number"), QStringLiteral("  File path"), QStringLiteral("   Duration")},
        {Qt::AlignLeft, Qt::AlignLeft, Qt::AlignHCenter});
    QHeaderView *header = m_list->header();
    header->setStretchLastSection(false);
    header->resizeSection(SourceTable::NumberColumn, 90);
    header->resizeSection(SourceTable::PathColumn, 360);
    header->resizeSection(SourceTable::DurationColumn, 122);
    m_list->setTextElideMode(Qt::ElideMiddle);
    InstallFocusOnlySelection(m_list);
    // Files dropped from a file manager are added; Delete removes a row.
    m_list->setAcceptDrops(true);
    m_list->viewport()->setAcceptDrops(true);
    m_list->viewport()->installEventFilter(this);
    m_list->installEventFilter(this);
}

void CKelvaroDlg::ConfigureButtons()
{
    const auto tip = [](CIconButton *button) {
        return QString::fromUtf8(FindControlText(DialogBuilder::ControlId(button))->tooltip);
    };
    struct IconSetup {
        CIconButton *button;
        int icon;
        int size;  // 0: the picture's own size
    };
    const IconSetup icons[] = {
        {m_convert, IDI_CONVERT, 48},
        {m_remove, IDI_REMOVE, 48},
        {m_add, IDI_ADD, 48},
        {m_help, IDI_HELP, 0},
        {m_addSmall, IDI_ADD_SMALL, 0},
        {m_removeSmall, IDI_REMOVE_SMALL, 0},
        {m_moveUp, IDI_MOVE_UP, 0},
        {m_moveDown, IDI_MOVE_DOWN, 0},
    };
    for (const IconSetup &setup : icons) {
        setup.button->SetIconImage(setup.icon, setup.size, setup.size);
        setup.button->SetToolTipText(tip(setup.button), true);
        setup.button->UseParentBackground(false);
        setup.button->SetImageLayout(1, true);
    }

    const auto setUpPreviewButton = [&tip](CIconButton *button, int bitmap) {
        button->SetBitmapImage(bitmap, QColor(kTransparentColour));
        button->SetToolTipText(tip(button), true);
        button->UseParentBackground(false);
        button->SetHoverFrame(false, false);
        button->SetHoverCursor(IDC_HAND, false);
    };
    setUpPreviewButton(m_play, IDB_PLAY);
    CreatePreview();  // the preview starts stopped
    setUpPreviewButton(m_stop, IDB_STOP);

    for (const ControlText &text : MainWindowTexts()) {
        QWidget *widget = Control(text.id);
        widget->setAccessibleName(QString::fromUtf8(text.name));
        widget->setAccessibleDescription(QString::fromUtf8(text.description ? text.description : text.tooltip));
    }
}

bool CKelvaroDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete) {
        OnRemoveFile();
        return true;
    }
    if (watched == m_list->viewport()
        && (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove)) {
        auto *drag = static_cast<QDropEvent *>(event);
        if (drag->mimeData()->hasUrls()) {
            drag->acceptProposedAction();
            return true;
        }
    }
    if (watched == m_list->viewport() && event->type() == QEvent::Drop) {
        auto *drop = static_cast<QDropEvent *>(event);
        QStringList paths;
        for (const QUrl &url : drop->mimeData()->urls()) {
            if (url.isLocalFile())
                paths << url.toLocalFile();
        }
        drop->acceptProposedAction();
        // After the drop has returned: a warning about what was dropped
        // must not keep the file manager waiting for the end of the drop.
        QTimer::singleShot(0, this, [this, paths] { AddFiles(paths); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CKelvaroDlg::keyPressEvent(QKeyEvent *event)
{
    // Enter ends the window unless a push button has the focus, which it
    // then presses; Escape ends it too (QDialog's own handling).
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto *button = qobject_cast<QPushButton *>(focusWidget()))
            button->click();
        else if (focusWidget() == m_folder)
            OnFolderEntered();  // what was typed there would be lost
        else
            accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CKelvaroDlg::contextMenuEvent(QContextMenuEvent *event)
{
    // The window's own menu: the platform's system menu belongs to the
    // window manager, so the About item lives here, on the window's
    // background. A control, or the list's header, keeps its own menu or
    // has none.
    const QWidget *under = childAt(event->pos());
    if (under && (under->parentWidget() != this || DialogBuilder::ControlId(under) > 0))
        return;
    auto *menu = new QMenu(this);
    QAction *about = menu->addAction(LoadStringResource(IDS_ABOUTBOX));
    // Queued, like every menu command: see ShowPopup.
    connect(about, &QAction::triggered, this, [this] { OnSysCommand(IDM_ABOUTBOX); }, Qt::QueuedConnection);
    ShowPopup(menu, event->globalPos(), false);
}

void CKelvaroDlg::ShowPopup(QMenu *menu, QPoint position, bool throughSkin)
{
    // The command runs once the menu has finished with the click, as a
    // posted command message would: run from inside the menu's signal, a
    // modal window (the About box) would spin an event loop that deletes
    // the menu under its own feet.
    connect(menu, &QMenu::triggered, this, [this](QAction *action) {
        QMetaObject::invokeMethod(this, [this, id = CommandOf(action)] { OnCommand(id); }, Qt::QueuedConnection);
    });
    // The menu goes away once closed, chosen or not.
    connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
    if (throughSkin)
        Skin::TrackPopupMenu(menu, 2, position.x(), position.y(), this);
    else
        menu->popup(position);
}

void CKelvaroDlg::OnHelpButton()
{
    QPoint position = QCursor::pos();
    if (position == QPoint(-1, -1))
        position = mapToGlobal(QPoint(5, 5));
    ShowPopup(LoadPopupMenu(IDR_HELP_MENU, this), position, false);
}

void CKelvaroDlg::OnListRightClick(QPoint position)
{
    // Shown wherever the list was clicked, on a row or not; its commands act
    // on the selected row.
    ShowPopup(LoadPopupMenu(IDR_LIST_MENU, this), m_list->viewport()->mapToGlobal(position), true);
}
