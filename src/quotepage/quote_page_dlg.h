#pragma once
// "株価ページ設定": where the program's quotes come from and how their pages are read. It
// fetches a test stock's page as a pass does, shows what the list would show and what each
// rule or pattern matched, suggests rules from figures read off that same copy, and checks a
// second stock. It works on copies; the caller reads the settings back when it ends with OK.

#include <QDialog>
#include <array>
#include <atomic>
#include <optional>
#include <string>

#include "quotepage/quote_page.h"
#include "quotes/fetch.h"
#include "quotes/worker_set.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

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

    void done(int result) override;

  signals:
    // A fetch of "試す" or "確認" has ended and what it found is shown.
    void TrialShown();
    void CheckShown();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Outcome;
    void OnInitDialog();
    void OnTry();
    void OnSuggest();
    void OnCheck();
    void OnFind();
    void UpdateMode();
    // The settings as the widgets hold them now.
    PageSettings Edited() const;
    // Fetches code's page on a worker and hands what it found to show, on the UI thread.
    void Fetch(QPushButton* button, QLineEdit* code, QComboBox* market,
               void (CQuotePageDlg::*shows)(Outcome));
    void ShowTrial(Outcome outcome);
    void ShowCheck(Outcome outcome);
    void ShowReading(const PageTrial& trial);
    // The word under a double click in the page goes into the figure field last focused.
    void PickFigure(const QPoint& at);

    QLineEdit* m_editBaseUrl = nullptr;
    QLabel* m_lblMode = nullptr;
    std::array<QLineEdit*, kFigureCount> m_editRules{};
    std::array<QLineEdit*, kPatternCount> m_editPatterns{};
    QLineEdit* m_editTestCode = nullptr;
    QComboBox* m_cboTestMarket = nullptr;
    QPushButton* m_btnTry = nullptr;
    QTableWidget* m_tblResult = nullptr;
    QLabel* m_lblFetch = nullptr;
    std::array<QLineEdit*, 6> m_editValues{};
    QLineEdit* m_pLastValueEdit = nullptr;
    QPushButton* m_btnSuggest = nullptr;
    QLabel* m_lblSuggest = nullptr;
    QLineEdit* m_editFind = nullptr;
    QPlainTextEdit* m_txtPage = nullptr;
    QLineEdit* m_editCheckCode = nullptr;
    QComboBox* m_cboCheckMarket = nullptr;
    QPushButton* m_btnCheck = nullptr;
    QLabel* m_lblCheck = nullptr;

    std::optional<PageCopy> m_copy;  // the test stock's page as last fetched
    FetchOptions m_fetchLimits;
    std::atomic<bool> m_bCancel{false};
    WorkerSet m_workers;  // last: joined before anything the work reads goes
};

}  // namespace tickora
