#pragma once
// "株価ページ設定": where the program's quotes come from and how their pages are read. It
// fetches a test stock's page as a pass does, shows what the list would show and what each
// rule or pattern matched, suggests rules from figures read off that same copy, and checks a
// second stock. The quote-page core decides all of it; the dialog shows and words it. It
// works on copies; the caller reads the settings back when it ends with OK.

#include <QDialog>
#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "quotepage/quote_page.h"
#include "quotes/worker_set.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class QWidget;

namespace tickora {

// Control ids of the dialog, its widgets' object names.
namespace qp {
inline constexpr int kBaseUrl = 1101;
inline constexpr int kMode = 1102;
inline constexpr int kRuleFirst = 1110;     // + figure 0..5
inline constexpr int kPatternFirst = 1120;  // + pattern 0..6
inline constexpr int kTestCode = 1130;
inline constexpr int kTestMarket = 1131;
inline constexpr int kTry = 1132;
inline constexpr int kResult = 1133;
inline constexpr int kFetchNote = 1134;
inline constexpr int kStop = 1135;
inline constexpr int kValueFirst = 1140;  // + figure 0..5
inline constexpr int kSuggest = 1146;
inline constexpr int kSuggestNote = 1147;
inline constexpr int kFindText = 1150;
inline constexpr int kFind = 1151;
inline constexpr int kPage = 1152;
inline constexpr int kCheckCode = 1160;
inline constexpr int kCheckMarket = 1161;
inline constexpr int kCheck = 1162;
inline constexpr int kCheckNote = 1163;
inline constexpr int kCheckValueFirst = 1170;  // + figure 0..5
inline constexpr int kIndexUrlFirst = 1180;    // + index 0..2
inline constexpr int kIndexTryFirst = 1183;    // + index 0..2
inline constexpr int kTabs = 1190;
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
}  // namespace qp

class CQuotePageDlg : public QDialog {
    Q_OBJECT
  public:
    // limits: those of a pass; the dialog adds its own cancel flag.
    CQuotePageDlg(QWidget* owner, const FetchOptions& limits);
    ~CQuotePageDlg() override;

    int DoModal();

    // In: the settings and the test stock; out: the settings as the dialog ends (CP932).
    PageSettings m_settings;
    std::string m_strTestCode;
    int m_nTestMarket = 0;

    void accept() override;
    void done(int result) override;

  signals:
    // A job of 試す, 提案 or 確認 has ended and what it found is shown.
    void TrialShown();
    void SuggestionShown();
    void CheckShown();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    struct Outcome;
    using Work = std::function<Outcome()>;

    // Building the dialog (quote_page_layout.cpp).
    void CreateControls();
    QWidget* CreateSettingsTabs();
    QWidget* CreateTrySection();
    QWidget* CreateFigureSection();
    QWidget* CreateCheckSection();
    QWidget* CreatePageSection();
    void ConnectControls();
    void SetTabOrder();
    // Fits the dialog to the screen it is on, OK and キャンセル in sight.
    void FitToScreen();

    void OnInitDialog();
    void OnTry();
    void OnTryIndex(int index);
    void OnSuggest();
    void OnCheck();
    void OnStop();
    void OnFind();
    void UpdateMode();
    // The settings as the widgets hold them now.
    PageSettings Edited() const;
    FigureTexts Typed(const std::array<QLineEdit*, kFigureCount>& fields) const;
    // Runs work on a worker, one job at a time, with busy ("取得中…" and the address) and 中止
    // showing; shows its outcome on the UI thread.
    void Run(const QString& busy, Work work, void (CQuotePageDlg::*shows)(Outcome));
    void SetBusy(bool busy);
    void ShowTrial(Outcome outcome);
    void ShowSuggestion(Outcome outcome);
    void ShowCheck(Outcome outcome);
    void ShowReading(const Trial& trial, const PatternTexts& patterns);
    // Why OK should not keep the settings as they are; empty when nothing is wrong.
    std::string OkProblem(const PageSettings& settings) const;
    // The word under a double click in the page goes into the figure field last focused.
    void PickFigure(const QPoint& at);

    QLineEdit* m_editBaseUrl = nullptr;
    QLabel* m_lblMode = nullptr;
    std::array<QLineEdit*, kFigureCount> m_editRules{};
    std::array<QLineEdit*, kPatternCount> m_editPatterns{};
    std::array<QLineEdit*, 3> m_editIndexUrls{};
    QLineEdit* m_editTestCode = nullptr;
    QComboBox* m_cboTestMarket = nullptr;
    QPushButton* m_btnTry = nullptr;
    QPushButton* m_btnStop = nullptr;
    QTableWidget* m_tblResult = nullptr;
    QLabel* m_lblFetch = nullptr;
    std::array<QLineEdit*, kFigureCount> m_editValues{};
    std::array<QLineEdit*, kFigureCount> m_editCheckValues{};
    QLineEdit* m_pLastValueEdit = nullptr;
    QPushButton* m_btnSuggest = nullptr;
    QLabel* m_lblSuggest = nullptr;
    QLineEdit* m_editFind = nullptr;
    QPushButton* m_btnFind = nullptr;
    QPlainTextEdit* m_txtPage = nullptr;
    QLineEdit* m_editCheckCode = nullptr;
    QComboBox* m_cboCheckMarket = nullptr;
    QPushButton* m_btnCheck = nullptr;
    QLabel* m_lblCheck = nullptr;
    std::vector<QWidget*> m_busyControls;  // disabled while a job runs

    std::shared_ptr<const PageSample> m_sample;       // the test stock's page as last fetched
    std::shared_ptr<const PageSample> m_checkSample;  // the 確認 stock's, to learn from
    FetchOptions m_fetchLimits;
    std::atomic<bool> m_bCancel{false};
    bool m_bBusy = false;
    bool m_bFitted = false;
    WorkerSet m_workers;  // last: joined before anything the work reads goes
};

}  // namespace tickora
