#pragma once
// "リンクURL設定": the user picks the stock link and the Nikkei link from the lines
// of the two URL list files, or types them. It works on copies; the caller reads the results
// back when it ends with OK.

#include <QDialog>
#include <string>
#include <vector>

#include "quotes/quote_url.h"

class QComboBox;
class QLabel;

namespace tickora {

class CLinkUrlDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CLinkUrlDlg(QWidget* owner);

    // Runs the dialog modally; QDialog::Accepted for OK.
    int DoModal();

    // In: the lists and the current settings (CP932); out: what the dialog shows at its end.
    std::vector<std::string> m_arrNikkeiLines;
    std::vector<std::string> m_arrStockLines;
    std::string m_strStockUrl;
    std::string m_strNikkeiUrl;
    std::string m_strStockLabel;
    std::string m_strNikkeiLabel;
    SuffixTable m_szSuffix;  // passed through unchanged

    void done(int result) override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void OnInitDialog();
    // A line was chosen in one of the lists: the field shows its URL, the label its label.
    void OnSelchange(QComboBox* combo, QLabel* label, std::string& url);

    int m_nPrevWidth = 0;
    QComboBox* m_cboNikkei = nullptr;  // 1053
    QComboBox* m_cboStock = nullptr;   // 1052
    QLabel* m_lblNikkei = nullptr;     // 1054
    QLabel* m_lblStock = nullptr;      // 1055
};

}  // namespace tickora
