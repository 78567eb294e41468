#pragma once
// "アラート設定": the three thresholds of one stock. It works on a copy; the caller reads it
// back when the dialog ends with OK.

#include <QDialog>
#include <array>
#include <string>

#include "alerts/alert_rules.h"

class QLabel;
class QLineEdit;

namespace tickora {

class CAlertDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CAlertDlg(QWidget* owner);

    // Runs the dialog modally; QDialog::Accepted for OK.
    int DoModal();

    // In: the stock as the list shows it ("8058 東西精機 東証", CP932) and its thresholds;
    // out: the thresholds typed, once OK was accepted.
    std::string m_strStock;
    AlertLimits m_limits;

    // OK stays in the dialog while a field holds something that is no number.
    void done(int result) override;

  private:
    void OnInitDialog();

    QLabel* m_lblStock = nullptr;
    std::array<QLineEdit*, kAlertKinds> m_edits{};
    std::array<QLabel*, kAlertKinds> m_lblRefusals{};
};

}  // namespace tickora
