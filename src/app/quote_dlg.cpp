#include "app/quote_dlg.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QEvent>
#include <QEventLoop>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTableView>

#include "app/dialog_layout.h"
#include "app/list_tool_tip.h"
#include "app/message_boxes.h"
#include "chart/chart_snapshot.h"
#include "common/codepage.h"
#include "common/control_ids.h"
#include "common/endpoints.h"
#include "common/market_table.h"
#include "common/program_folder.h"
#include "common/sjis.h"
#include "links/url_opener.h"
#include "tray/menu_pictures.h"
#include "ui/clickable_label.h"
#include "ui/fit_width.h"
#include "ui/hand_cursor.h"
#include "ui/index_label.h"
#include "ui/light_palette.h"
#include "ui/list_cell_delegate.h"
#include "ui/plain_text.h"
#include "watchlist/watch_list_model.h"

// Resources of a static library are registered by hand: nothing references their
// initialiser, so the linker would drop it.
static void InitTickoraResources() {
    Q_INIT_RESOURCE(tickora);
}

namespace tickora {

namespace {

QIcon LoadIcon(const char* name, bool withLarge) {
    QIcon icon;
    icon.addFile(QStringLiteral(":/res/%1-16.png").arg(QLatin1String(name)), QSize(16, 16));
    if (withLarge)
        icon.addFile(QStringLiteral(":/res/%1-32.png").arg(QLatin1String(name)), QSize(32, 32));
    return icon;
}

}  // namespace

CQuoteDlg::CQuoteDlg(std::string_view argv0, DialogServices services, QWidget* parent)
    : QDialog(parent),
      m_strProgramFolder(ProgramFolder(argv0)),
      m_strProgramName(ProgramBaseName(argv0)),
      m_services(std::move(services)),
      m_chart{std::string(endpoints::kChartHost) + kChartPath, {}},
      m_gateway([this](std::function<void()> task, int delayMs) {
          // Queued, never blocking: the UI thread may be joining the very worker that posts.
          // Only the UI thread asks for a delay.
          if (delayMs > 0)
              QTimer::singleShot(delayMs, this, std::move(task));
          else
              QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
      }) {
    InitTickoraResources();
    if (!m_services.urlOpener) m_services.urlOpener = MakeDesktopUrlOpener();
    if (!m_services.messageBoxes) m_services.messageBoxes = MakeModalMessageBoxes();
    if (!m_services.trayHost) m_services.trayHost = MakeDesktopTrayHost();
    m_hIcon = LoadIcon("program", true);
    // Children of the window, so that tests find them by name.
    m_refresh.m_timerRefresh.setParent(this);
    m_tray.m_timerTip.setParent(this);
    m_refresh.m_timerRefresh.setObjectName(QStringLiteral("timer0"));
    m_tray.m_timerTip.setObjectName(QStringLiteral("timer1"));
    connect(&m_refresh.m_timerRefresh, &QTimer::timeout, this,
            [this] { OnTimer(ids::kTimerRefresh); });
    connect(&m_tray.m_timerTip, &QTimer::timeout, this, [this] { OnTimer(ids::kTimerTip); });
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_AlwaysShowToolTips);
    // Its dialogs and menus take the same light colours.
    setAttribute(Qt::WA_WindowPropagation);
    setPalette(LightPalette());
    setFont(DialogFont());
    m_baseUnits = BaseUnitsOf(font());
    setWindowTitle(QString::fromUtf8("TICKORA株価"));
    CreateControls();
}

CQuoteDlg::~CQuoteDlg() {
    OnDestroy();
}

bool CQuoteDlg::OnInitDialog() {
    // The controls exist since construction.
    setWindowIcon(m_hIcon);
    m_strTitle = Sj("TICKORA株価 ver.060505");
    setWindowTitle(Shown(m_strTitle));
    m_refresh.m_bConnected = 0;
    InitLinkFont();
    FillMarkets();
    m_page.m_szSuffix = DefaultSuffixes();
    m_drag.m_pDragImage = nullptr;
    m_drag.m_bDragging = 0;
    m_drag.m_nDragIndex = 0;
    m_drag.m_dragPressPos = {-1, -1};
    InitWatchList();
    InitAlerts();
    InitReadingState();
    m_spinInterval->setRange(3, 180);
    m_spinInterval->setValue(60);
    Control(ids::kIntervalEdit)->setProperty("text", QStringLiteral("60"));
    LoadSettings();
    LoadTrayPictures();
    UpdateData();
    if (m_entry.m_strEntryCode.size() >= 4) RefreshEntryRow();
    // One pass at once, connected or not; the timer's first tick comes a whole period later.
    StartRefreshWorker();
    StartRefresh();
    m_tray.m_bTrayIcon = 0;
    // The pointer's first movement over any part of the window sets the hover state.
    setMouseTracking(true);
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
    CenterOnScreen();
    ShowAtStart();
    return true;
}

void CQuoteDlg::InitLinkFont() {
    m_nLinkHover = 0;
    // The home-page label: Courier New, a cell 25 pixels high, the heaviest weight.
    m_lfLink = QFont(QStringLiteral("Courier New"));
    m_lfLink.setStyleHint(QFont::TypeWriter);
    m_lfLink.setWeight(QFont::Black);
    m_lfLink.setItalic(false);
    m_lfLink.setUnderline(false);
    m_lfLink.setStrikeOut(false);
    int pixels = 25;
    for (m_lfLink.setPixelSize(pixels); pixels > 8 && QFontMetrics(m_lfLink).height() > 25;)
        m_lfLink.setPixelSize(--pixels);
    ApplyLinkLook();
}

void CQuoteDlg::FillMarkets() {
    m_cboMarket->clear();
    for (const MarketInfo& market : Markets()) m_cboMarket->addItem(Shown(market.displayName));
    m_cboMarket->setCurrentIndex(0);
}

void CQuoteDlg::InitWatchList() {
    if (!m_pModel) {
        m_pModel = new WatchListModel(this);
        m_pList->setModel(m_pModel);
        WakeTrayTipOnChanges();
        PublishRowsOnChanges();
        m_pList->setItemDelegate(new ListCellDelegate(m_pList));
    }
    m_pList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pList->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pList->setShowGrid(true);
    m_pList->setWordWrap(false);
    m_pList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pList->verticalHeader()->hide();
    m_pList->verticalHeader()->setDefaultSectionSize(QFontMetrics(font()).height() + 4);
    m_pList->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_pList->horizontalHeader()->setHighlightSections(false);
    m_pList->horizontalHeader()->setStretchLastSection(false);
    for (std::size_t c = 0; c < kListColumnWidths.size(); ++c)
        m_pList->setColumnWidth(static_cast<int>(c), kListColumnWidths[c]);
    // The selection stays visible when the list loses the focus.
    QPalette palette = m_pList->palette();
    palette.setBrush(QPalette::Inactive, QPalette::Highlight,
                     palette.brush(QPalette::Active, QPalette::Highlight));
    palette.setBrush(QPalette::Inactive, QPalette::HighlightedText,
                     palette.brush(QPalette::Active, QPalette::HighlightedText));
    m_pList->setPalette(palette);
    if (!m_tooltip)
        m_tooltip = new ListToolTip(m_pList->viewport(),
                                    QString::fromUtf8("ダブルクリックでリンク表示"), this);
}

void CQuoteDlg::LoadTrayPictures() {
    m_tray.m_hIconUp = LoadIcon("rise", false);
    m_tray.m_hIconDown = LoadIcon("fall", false);
    m_tray.m_hIconFlat = LoadIcon("flat", false);
    m_tray.m_bmpUp = DrawMenuPicture(MenuPicture::Up, false);
    m_tray.m_bmpDown = DrawMenuPicture(MenuPicture::Down, false);
    m_tray.m_bmpUpChecked = DrawMenuPicture(MenuPicture::Up, true);
    m_tray.m_bmpDownChecked = DrawMenuPicture(MenuPicture::Down, true);
    m_tray.m_bmpFlat = DrawMenuPicture(MenuPicture::Flat, false);
    m_tray.m_bmpFlatChecked = DrawMenuPicture(MenuPicture::Flat, true);
}

void CQuoteDlg::ShowAtStart() {
    if (m_nChkGoTask == 1) {
        AddTrayIcon("meigara");
        SetTimer(ids::kTimerTip, ids::kTipPeriodMs);
        // With no notification area the window stays reachable: minimised, not hidden.
        if (!TrayIconHosted()) showMinimized();
    } else {
        SelectRow(m_nSelectedItem);
        show();
        Control(ids::kCodeEdit)->setFocus();
    }
}

int CQuoteDlg::DoModal() {
    OnInitDialog();
    if (!m_bDestroyed) {
        QEventLoop loop;
        connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
        // A hidden dialog still runs: QDialog::exec() would end when the window hides into
        // the tray, so the dialog's own end is what ends this loop.
        loop.exec(QEventLoop::DialogExec);
    }
    return result();
}

void CQuoteDlg::CenterOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void CQuoteDlg::OnDestroy() {
    if (m_bDestroyed) return;
    m_bDestroyed = 1;
    SaveSettings();
    KillTimer(ids::kTimerRefresh);
    KillTimer(ids::kTimerTip);
    DeleteTrayIcon();
    // Then the workers: waiting ones are released, running fetches cancelled, and none of
    // them touches the window again.
    CancelDrag();
    if (m_entry.m_previewCancel) *m_entry.m_previewCancel = true;
    m_gateway.Close();
    m_workers.JoinAll();
    m_sideWorkers.JoinAll();
}

void CQuoteDlg::OnEndSession() {
    if (!m_bDestroyed) SaveSettings();
}

void CQuoteDlg::OnProcessExit() {
    if (m_bDestroyed) return;
    m_bDestroyed = 1;
    SaveSettings();
    if (m_entry.m_previewCancel) *m_entry.m_previewCancel = true;
    m_gateway.Close();
}

void CQuoteDlg::done(int result) {
    OnDestroy();
    QDialog::done(result);
}

void CQuoteDlg::setVisible(bool visible) {
    // While the icon stands for the program in a notification area, nothing shows the window.
    if (visible && TrayIconHosted()) return;
    QDialog::setVisible(visible);
}

void CQuoteDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || m_bDestroyed) return;
    if (isMinimized()) {
        if (m_tray.m_bTrayIcon == 0) OnMinimize();
    } else if (m_tray.m_bTrayIcon == 1 && !TrayIconHosted()) {
        // Restored from the task bar: without a notification area that is the way out.
        OnOpenMain();
    }
}

void CQuoteDlg::OnMinimize() {
    const int selected = SelectedRow();
    m_nSelectedItem = selected < 0 ? 0 : selected;
    AddTrayIcon("meigara");
    RefreshTrayTip();
    SetTimer(ids::kTimerTip, ids::kTipPeriodMs);
    if (TrayIconHosted()) HideInTray();
}

void CQuoteDlg::HideInTray() {
    hide();
    // Without a native window, nothing outside the program (a task switcher, another
    // program mapping windows) can show an empty frame; showing it again makes a new one.
    // Done once the state change that hid it has been handled.
    QTimer::singleShot(0, this, [this] {
        if (TrayIconHosted() && !isVisible()) destroy(true, true);
    });
}

void CQuoteDlg::keyPressEvent(QKeyEvent* event) {
    // Enter and Escape never end the dialog; the keyboard filter gave them their meaning.
    const int key = event->key();
    if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool CQuoteDlg::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this) return QDialog::eventFilter(watched, event);
    const QEvent::Type type = event->type();
    if (type == QEvent::Enter || (type == QEvent::MouseMove && watched == this))
        OnSetCursor(widget);
    if (m_pList && watched == m_pList->viewport() && OnListEvent(event)) return true;
    if (type == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (m_drag.m_bDragging && key == Qt::Key_Escape) CancelDrag();
        // Keys go to the focused control; the window sees them first.
        QWidget* focus = QApplication::focusWidget();
        if (watched == (focus ? focus : this) && OnKeyPress(widget, key)) return true;
    }
    // Another window taking the pointer ends a drag without a move.
    if (m_drag.m_bDragging &&
        (type == QEvent::UngrabMouse || (watched == this && type == QEvent::WindowDeactivate)))
        CancelDrag();
    return QDialog::eventFilter(watched, event);
}

}  // namespace tickora
