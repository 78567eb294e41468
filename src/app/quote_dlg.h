#pragma once
// The main window. It owns the program's whole state; its handlers live with their
// subsystem (src/quotes/refresh_glue.cpp, src/watchlist/settings_glue.cpp, ...), this header
// declares them all.

#include <QDialog>
#include <QFont>
#include <QIcon>
#include <QSystemTrayIcon>
#include <QTimer>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/dialog_units.h"
#include "quotes/extraction_pattern.h"
#include "quotes/quote_url.h"
#include "quotes/refresh_pass.h"
#include "quotes/ui_gateway.h"
#include "quotes/worker_set.h"
#include "tray/tray_tip.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;

namespace tickora {

class ListToolTip;
class WatchListModel;

class CQuoteDlg : public QDialog {
    Q_OBJECT
public:
    // programFolder: where base_data.ini and the other files lie, ending in a separator.
    explicit CQuoteDlg(std::string programFolder, QWidget* parent = nullptr);
    ~CQuoteDlg() override;

    // Start-up and shut-down (src/app/quote_dlg.cpp).
    bool OnInitDialog();
    // OnInitDialog, then runs until the dialog ends; the result of done().
    int DoModal();
    // Save, stop the timers, remove the tray icon, then release and join the workers.
    // Runs once, however the dialog ends.
    void OnDestroy();
    // The minimised case of the size handler: into the tray.
    void OnMinimize();
    // Copies the exchanged controls into the members (code edit, name edit).
    void UpdateData();

    // Controls by id; text as CP932 (a text ends at its first zero byte).
    QWidget* Control(int id) const;
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
    // Starts RefreshThreadProc on a new worker.
    void StartRefreshWorker();
    void StartRefresh();
    void StopRefresh();
    void OnConnectButton();
    void OnDisconnectButton();
    void SetStatusText(std::string_view text);
    void SetTimer(int id, int periodMs);
    void KillTimer(int id);
    bool TimerRunning(int id) const;

    // Entry row (src/watchlist/entry_row.cpp).
    void OnChangeCode();
    void OnSelchangeMarket();
    // The preview of the typed code, on the UI thread; blocks for one fetch.
    void RefreshEntryRow();

    // Settings file (src/watchlist/settings_glue.cpp).
    void LoadSettings();
    void SaveSettings();

    // Tray icon and tooltip (src/tray/tray_icon.cpp).
    void AddTrayIcon(std::string_view tip);
    void DeleteTrayIcon();
    void UpdateTrayIcon(std::string_view tip, int change);
    void RefreshTrayTip();
    void OnTrayTipTick();
    void OnTrayNotify(QSystemTrayIcon::ActivationReason reason);
    // Double click: leave the tray with the tray row stepped back by one.
    void RestoreFromTray();
    // Command 32783: leave the tray, the tray row as it is.
    void OnOpenMain();
    // Whether a notification area can hold the icon; when none can, the window is
    // minimised instead of hidden so that it stays reachable.
    bool TrayHostAvailable() const;

    // Presentation (src/ui/presentation.cpp).
    // The pointer is over widget (the window itself or one of its controls).
    void OnSetCursor(QWidget* widget);
    // Font and colour of the home-page label for m_nLinkHover.
    void ApplyLinkLook();

    // Members, in the order of the window's data.
    std::string m_strTitle;
    std::string m_strNikkeiUrl;
    std::string m_strStockLabel;
    std::string m_strNikkeiLabel;
    SuffixTable m_szSuffix = DefaultSuffixes();
    int m_nChkOpenUrl = 1;
    int m_nChkGoTask = 0;
    QIcon m_hIconUp, m_hIconDown, m_hIconFlat;
    QFont m_lfLink;  // the label font's description; m_fontLink is what is set on 1028
    QFont m_fontLink;
    std::string m_strStockUrl;
    QLabel* m_stcLink = nullptr;
    int m_nLinkHover = 0;
    std::mutex m_csFetch;
    ListToolTip* m_tooltip = nullptr;
    PatternTable m_patterns = DefaultPatterns();
    int m_bConnected = 0;
    std::vector<std::string> m_arrResults;
    int m_nSelectedItem = 0;
    int m_bTrayIcon = 0;
    std::string m_strBaseUrl;
    QTableView* m_pList = nullptr;
    QSpinBox* m_spinInterval = nullptr;
    QComboBox* m_cboMarket = nullptr;
    std::string m_strEntryCode;
    std::string m_strEntryName;
    QIcon m_hIcon;
    QPixmap* m_pDragImage = nullptr;
    int m_bDragging = 0;
    int m_nDragIndex = 0;

    // The platform's parts of the window.
    std::string m_strProgramFolder;
    WatchListModel* m_pModel = nullptr;
    BaseUnits m_baseUnits;
    QSystemTrayIcon* m_pTrayIcon = nullptr;
    // What the tray shows: the tip text (CP932) and the image, nullopt for the program icon.
    std::string m_strTrayTip;
    std::optional<TrayIconKind> m_trayIconKind;
    // -1: ask the platform whether a notification area exists; 0 or 1: decided.
    int m_nTrayHost = -1;
    QTimer m_timerRefresh;
    QTimer m_timerTip;
    std::map<int, QWidget*> m_controls;
    int m_bDestroyed = 0;
    UiGateway m_gateway;
    WorkerSet m_workers;  // last: joined before anything a worker uses goes away

public:
    void setVisible(bool visible) override;
    void done(int result) override;

protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void CenterOnScreen();
};

}  // namespace tickora
