#pragma once
// The version box: the title line with its version and two fixed lines.

#include <QDialog>
#include <string>

namespace tickora {

class CAboutDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CAboutDlg(QWidget* owner);
    int DoModal();

    std::string m_strTitle;  // CP932, set by the caller; shown in the first line
};

}  // namespace tickora
