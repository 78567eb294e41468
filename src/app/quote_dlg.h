#pragma once
// The main window. It owns the program's whole state; its handlers live with their
// subsystem in the *_glue.cpp files (src/quotes/refresh_glue.cpp, src/tray/tray_glue.cpp, ...).
// Every command, from a button, a menu, a key or the tray, goes through OnCommand and the
// one table in src/app/action_table.cpp.

#include <QDialog>
#include <QFont>
#include <QIcon>
#include <QPoint>
#include <QSystemTrayIcon>
#include <QTimer>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "alerts/alert_rules.h"
#include "app/dialog_layout.h"
#include "chart/chart_state.h"
#include "links/link_settings.h"
#include "quotes/page_settings.h"
#include "quotes/refresh_pass.h"
#include "quotes/refresh_state.h"
#include "quotes/row_snapshot.h"
#include "quotes/ui_gateway.h"
#include "quotes/worker_set.h"
#include "tray/menu_actions.h"
#include "tray/menus.h"
#include "tray/tray_host.h"
#include "tray/tray_menu.h"
#include "tray/tray_state.h"
#include "tray/tray_tip.h"
#include "ui/dialog_units.h"
#include "watchlist/entry_row.h"
#include "watchlist/row_drag.h"

class QComboBox;
class QLabel;
class QMenu;
class QSpinBox;
class QTableView;

namespace tickora {

class AlertNotifier;
class ListToolTip;
class MessageBoxes;
class UrlOpener;
class WatchListModel;
namespace test {
class DlgProbe;
}

// Where the window's reports, links and tray icon go; empty members take the desktop's.
struct DialogServices {
    std::shared_ptr<UrlOpener> urlOpener;
    std::shared_ptr<MessageBoxes> messageBoxes;
    std::shared_ptr<TrayHost> trayHost;
    std::shared_ptr<AlertNotifier> alertNotifier;
};

class CQuoteDlg : public QDialog {
    Q_OBJECT
  public:
    // argv0: the program's own path, which fixes the folder of every file.
    explicit CQuoteDlg(std::string_view argv0, DialogServices services = {},
                       QWidget* parent = nullptr);
    ~CQuoteDlg() override;

    bool OnInitDialog();
    // OnInitDialog, then runs until the dialog ends; the result of done().
    int DoModal();
    // Runs a command of the window through its entry in the action table.
    void OnCommand(int id);

    // Where a key reaches an action: the focused control is the action's own control, one
    // of the entry row's (code edit, market selector, add button), or the list.
    enum class KeyScope { None, Itself, EntryRow, List };

    // One thing the user can do: its command id, its menu text, what it runs, the flag its
    // menu item shows checked, and the key that runs it.
    struct Action {
        int id;
        const char* text = nullptr;  // the menu item's text (UTF-8); nullptr: in no menu
        void (CQuoteDlg::*run)() = nullptr;
        // Instead of run, for the kMaxRows ids from id on; receives the offset (a row).
        void (CQuoteDlg::*runRow)(int row) = nullptr;
        int CQuoteDlg::*checked = nullptr;  // shown checked while the flag is 1
        int key = 0;                        // Qt::Key_Return stands for both Enter keys
        KeyScope keyScope = KeyScope::None;
    };
    static const std::vector<Action>& Actions() { return kActions; }

    // The desktop session ends: the settings are saved now, the window stays.
    void OnEndSession();
    // The process ends without the window's end (the display connection broke): the
    // settings are saved and the workers released.
    void OnProcessExit();

    void setVisible(bool visible) override;
    void done(int result) override;

  signals:
    // A refresh pass went through every row and cleared the status text.
    void PassEnded();
    // The newest preview of the entry row reached its edits.
    void PreviewArrived();
    // The tray row changed: the tooltip and the stock items now follow row.
    void TrayRowChanged(int row);

  protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    friend class test::DlgProbe;
    static const std::vector<Action> kActions;

    // Start-up and shut-down (src/app/quote_dlg.cpp).
    void CreateControls();
    QWidget* CreateControl(const ControlDef& def);
    QSpinBox* CreateIntervalSpin();
    // Names for what a screen reader would otherwise hear only as a value or not at all.
    void NameForScreenReaders();
    // Its place, id, focus, visibility and, for a clickable text, its click and cursor.
    void PlaceControl(const ControlDef& def, QWidget* widget);
    // The steps of OnInitDialog.
    void InitLinkFont();
    void FillMarkets();
    void InitWatchList();
    void LoadTrayPictures();
    // Shown with the code edit focused, or straight into the tray.
    void ShowAtStart();
    void CenterOnScreen();
    // Save, stop the timers, remove the tray icon, then release and join the workers.
    // Runs once, however the dialog ends.
    void OnDestroy();
    // The minimised case of the size handler: into the tray.
    void OnMinimize();
    void HideInTray();
    // Copies the exchanged controls into the members (code edit, name edit).
    void UpdateData();
    // 32790 "閉じる": the dialog ends as by its close box.
    void OnCloseCommand();

    // Controls by id; text as CP932 (a text ends at its first zero byte).
    QWidget* Control(int id) const;
    // The id of the control a widget is or is part of; 0 for none.
    int ControlIdOf(QWidget* widget) const;
    std::string ControlText(int id) const;
    void SetControlText(int id, std::string_view text);
    int RowCount() const;
    // The first selected row, -1 when none is.
    int SelectedRow() const;
    // Selects and focuses a row; nothing for a row that does not exist.
    void SelectRow(int row);

    // Refresh cycle, connection and timers (src/quotes/refresh_glue.cpp).
    void OnTimer(int id);
    // One pass on the calling worker thread, under m_csFetch.
    unsigned RefreshThreadProc(const RefreshConfig& config);
    // Copies what a pass needs, on the UI thread.
    RefreshConfig MakeRefreshConfig() const;
    // Starts RefreshThreadProc on a new worker; false when none starts.
    bool StartRefreshWorker();
    void StartRefresh();
    void StopRefresh();
    void OnConnectButton();
    void OnDisconnectButton();
    void SetStatusText(std::string_view text);
    // A row of a pass was read, well or not; what it means for alerts and the reading state.
    void OnRowRead(const RowKey& key, bool ok);
    // The band over the list's foot, the rows' tooltip lines and the tray's tip say whether
    // pages still read.
    void InitReadingState();
    void ShowReadingState();
    QString FailingTipAt(QPoint listPos) const;
    void ShowIndex(std::size_t index, const IndexTexts& texts);
    void OnPassEnded();
    void SetTimer(int id, int periodMs);
    void KillTimer(int id);
    // ids::kTimerRefresh or ids::kTimerTip.
    QTimer& TimerOf(int id);

    // Watch-list editing (src/watchlist/editing_glue.cpp).
    void OnChangeCode();
    void OnSelchangeMarket();
    // Fetches the preview of the typed code on a worker; the answer of the newest request
    // reaches the entry row, older ones are dropped.
    void RefreshEntryRow();
    void OnPreviewArrived(int request, const Quote& quote);
    // The entry row's quote from a pass, when the row still shows code and market.
    void ShowEntryQuote(const std::string& code, int market, const Quote& quote);
    void ShowEntryQuote(const Quote& quote);
    void OnAddToList();
    void OnDeleteItem();
    void OnDeleteAll();
    void ShowMessage(const std::string& text);

    // Drag reordering (src/watchlist/drag_glue.cpp); positions are global.
    bool OnListMouseEvent(QEvent* event);
    void OnBeginDrag(QPoint listPos);
    void OnMouseMove(QPoint globalPos);
    void OnLButtonUp(QPoint globalPos);
    // The drag ends without a move: the pointer grab was lost or Escape was pressed.
    void CancelDrag();

    // Chart snapshot (src/chart/chart_glue.cpp): hidden button 1026.
    void OnChartButton();

    // Tray menu and the tray's commands (src/tray/tray_glue.cpp).
    // Refills the tray menu just before it shows, whichever host shows it.
    void RefreshTrayMenu();
    QIcon MenuPictureIcon(MenuPicture picture) const;
    // The tray row becomes row: the tip follows it.
    void SetTrayRow(int row);
    // A stock item of the tray menu: its row becomes the tray row, and opens its link when
    // the option is on.
    void OnTrayStockItem(int row);
    void OnToggleClickOpensLink();
    void OnToggleStartInTray();

    // Menus (src/tray/menus_glue.cpp) and the keyboard (src/app/action_table.cpp).
    // The actions of the table that have a text, made once; each menu shows the same one.
    void CreateMenus();
    QAction* MenuAction(int id) const;
    void FillMenu(QMenu* menu, const int* items, std::size_t count);
    // The menu items' checks as their flags are now.
    void SyncChecks();
    void PopUp(QMenu* menu, QPoint at);
    void ShowListMenu(QPoint at);
    // Enter on the list: the list menu below the selected row.
    void ShowListMenuAtRow();
    void ShowSettingsMenu();
    void OnListRightClick(QPoint listPos, QPoint at);
    // A double click on the list: the selected row's link.
    void OnListDoubleClick();
    // The list viewport's context menu and double click, and the drag; true when taken.
    bool OnListEvent(QEvent* event);
    // Enter, Escape and the table's keys on the focused control; true when the key was taken.
    bool OnKeyPress(QWidget* target, int key);

    // Links (src/links/links_glue.cpp).
    void OpenLink(const std::string& url, const char* setting);
    void OpenRowLink(int row);
    void OpenIndexLink(const char* code);
    void OnOpenLink();
    void OnNikkeiLink();
    void OnTopixText();
    void OnJasdaqText();
    void OnHomeLink();
    void OnLinkUrlSettings();
    void OnQuotePageSettings();

    // Price alerts (src/alerts/alerts_glue.cpp).
    void InitAlerts();
    void OnAlertSettings();
    // A pass stored a quote for the stock; its alerts are checked when the pass ends.
    void NoteRowRead(const RowKey& key);
    void CheckAlerts();
    void SendAlert(const AlertNotice& notice);
    // No notification service took it: the tray's balloon, else standard error.
    void ShowAlertElsewhere(const AlertNotice& notice);
    QString AlertTipAt(QPoint listPos) const;

    // Version box (src/app/about_dlg.cpp).
    void OnVersionInfo();

    // Settings file (src/watchlist/settings_glue.cpp).
    void LoadSettings();
    void SaveSettings();

    // Tray icon and tooltip (src/tray/tray_glue.cpp).
    void AddTrayIcon(std::string_view tip);
    void DeleteTrayIcon();
    void UpdateTrayIcon(std::string_view tip, int change);
    // m_strTrayTip as the host shows tips: plain for a status-notifier host, escaped otherwise.
    void ShowTrayTip();
    void RefreshTrayTip();
    void OnTrayTipTick();
    void WakeTrayTipOnChanges();
    // Keeps m_rowSnapshot equal to the list's stocks and the number of result slots. Slots
    // therefore change before the rows they belong to.
    void PublishRowsOnChanges();
    void OnTrayNotify(QSystemTrayIcon::ActivationReason reason);
    // Double click: leave the tray with the tray row stepped back by one.
    void RestoreFromTray();
    // Command 32783: leave the tray, the tray row as it is.
    void OnOpenMain();
    // Whether the icon is held by a notification area during this stay in the tray; when
    // it is not, the window is minimised instead of hidden so that it stays reachable.
    bool TrayIconHosted() const;

    // Presentation (src/ui/presentation_glue.cpp).
    // The pointer is over widget (the window itself or one of its controls).
    void OnSetCursor(QWidget* widget);
    // Font and colour of the home-page label for m_nLinkHover.
    void ApplyLinkLook();

    // Members, in the order of the window's data; those of a subsystem's state live in its
    // object under their names (m_tray.m_bTrayIcon).
    std::string m_strTitle;
    LinkSettings m_links;  // m_strNikkeiUrl, m_strStockLabel, m_strNikkeiLabel, m_strStockUrl
    int m_nChkOpenUrl = 1;
    int m_nChkGoTask = 0;
    TrayState m_tray;  // the bitmaps, the three icons, m_bTrayIcon
    QFont m_lfLink;    // the label font's description; m_fontLink is what is set on 1028
    QFont m_fontLink;
    QLabel* m_stcLink = nullptr;
    int m_nLinkHover = 0;
    RefreshState m_refresh;  // m_csFetch, m_bConnected
    ListToolTip* m_tooltip = nullptr;
    std::vector<std::string> m_arrResults;
    int m_nSelectedItem = 0;
    // m_strBaseUrl, m_szSuffix, the texts m_patterns is made from where a pass starts, the
    // page rules and the index pages.
    PageSettings m_page;
    QTableView* m_pList = nullptr;
    QSpinBox* m_spinInterval = nullptr;
    QComboBox* m_cboMarket = nullptr;
    EntryRow m_entry;  // m_strEntryCode, m_strEntryName
    QIcon m_hIcon;
    RowDrag m_drag;  // m_pDragImage, m_bDragging, m_nDragIndex

    // The rest of the window's state.
    std::string m_strProgramFolder;
    std::string m_strProgramName;  // caption of the message boxes
    std::string m_strSaveRefusal;  // why base_data.ini must not be written, when it must not
    FetchOptions m_fetchLimits;    // of every fetch the window starts
    DialogServices m_services;
    WatchListModel* m_pModel = nullptr;
    BaseUnits m_baseUnits;
    MenuActions m_menus;
    std::map<int, QWidget*> m_controls;
    int m_bDestroyed = 0;
    ChartState m_chart;
    UiGateway m_gateway;
    RowSnapshot m_rowSnapshot;  // the rows as a pass reads them
    AlertBook m_alerts;
    // Last: joined before anything a worker uses goes away.
    WorkerSet m_workers;      // refresh passes
    WorkerSet m_sideWorkers;  // previews and chart snapshots
};

}  // namespace tickora
