#include "alerts/alert_dlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cmath>

#include "common/codepage.h"
#include "ui/dialog_units.h"
#include "ui/plain_text.h"

namespace tickora {

namespace {

struct Field {
    const char* name;  // the label and the edit's accessible name
    const char* unit;
};
constexpr std::array<Field, kAlertKinds> kFields = {{
    {"上限", "円以上"},
    {"下限", "円以下"},
    {"変化率", "% 以上（上げ下げとも）"},
}};

const char* const kRefusal = "数値ではありません";

QLabel* PlainLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);  // the stock's name comes from the network
    return label;
}

QPushButton* Button(const char* text, const char* accessibleName, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(text), parent);
    button->setAccessibleName(QString::fromUtf8(accessibleName));
    return button;
}

}  // namespace

CAlertDlg::CAlertDlg(QWidget* owner) : QDialog(owner) {
    setWindowTitle(QString::fromUtf8("アラート設定"));
    setFont(DialogFont());
    auto* grid = new QGridLayout(this);
    m_lblStock = PlainLabel({}, this);
    m_lblStock->setAccessibleName(QString::fromUtf8("銘柄"));
    grid->addWidget(m_lblStock, 0, 0, 1, 4);
    QPalette refusal = palette();
    refusal.setColor(QPalette::WindowText, QColor(0xC0, 0, 0));
    const QString refusalText = QString::fromUtf8(kRefusal);
    for (std::size_t k = 0; k < kAlertKinds; ++k) {
        const int row = static_cast<int>(k) + 1;
        const QString name = QString::fromUtf8(kFields[k].name);
        m_edits[k] = new QLineEdit(this);
        m_edits[k]->setAccessibleName(name);
        m_edits[k]->setAccessibleDescription(QString::fromUtf8(kFields[k].unit));
        auto* label = PlainLabel(name, this);
        label->setBuddy(m_edits[k]);
        m_lblRefusals[k] = PlainLabel({}, this);
        m_lblRefusals[k]->setPalette(refusal);
        m_lblRefusals[k]->setMinimumWidth(fontMetrics().horizontalAdvance(refusalText));
        grid->addWidget(label, row, 0);
        grid->addWidget(m_edits[k], row, 1);
        grid->addWidget(PlainLabel(QString::fromUtf8(kFields[k].unit), this), row, 2);
        grid->addWidget(m_lblRefusals[k], row, 3);
        // A field typed again is judged again at the next OK.
        connect(m_edits[k], &QLineEdit::textEdited, m_lblRefusals[k], &QLabel::clear);
    }
    grid->addWidget(PlainLabel(QString::fromUtf8("空欄の項目では通知しません。"), this), 4, 0, 1,
                    4);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = Button("OK", "OK", this);
    ok->setDefault(true);  // Enter in a field is OK, as in the link settings
    auto* cancel = Button("ｷｬﾝｾﾙ", "キャンセル", this);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 5, 0, 1, 4);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    setTabOrder(m_edits[0], m_edits[1]);
    setTabOrder(m_edits[1], m_edits[2]);
    setTabOrder(m_edits[2], ok);
    setTabOrder(ok, cancel);
}

void CAlertDlg::OnInitDialog() {
    setWindowIcon(QIcon(QStringLiteral(":/res/flat-16.png")));
    m_lblStock->setText(Shown(m_strStock));
    m_lblStock->setAccessibleName(QString::fromUtf8("銘柄 ") + Shown(m_strStock));
    for (std::size_t k = 0; k < kAlertKinds; ++k) {
        const std::optional<double>& value = m_limits.values[k];
        m_edits[k]->setText(value ? Shown(GroupedNumber(*value)) : QString());
        m_lblRefusals[k]->clear();
    }
    m_edits[0]->setFocus();
}

int CAlertDlg::DoModal() {
    OnInitDialog();
    return exec();
}

void CAlertDlg::done(int result) {
    if (result == QDialog::Accepted) {
        AlertLimits typed;
        QLineEdit* refused = nullptr;
        for (std::size_t k = 0; k < kAlertKinds; ++k) {
            const QString text = m_edits[k]->text().trimmed();
            const bool ratio = static_cast<AlertKind>(k) == AlertKind::Ratio;
            if (!text.isEmpty())
                typed.values[k] = ParseFigure(Utf8ToCp932(text.toStdString()), ratio);
            const bool bad = !text.isEmpty() && !typed.values[k];
            m_lblRefusals[k]->setText(bad ? QString::fromUtf8(kRefusal) : QString());
            // The unit, and why a figure was refused, for a screen reader.
            m_edits[k]->setAccessibleDescription(
                QString::fromUtf8(kFields[k].unit) +
                (bad ? QStringLiteral(" ") + m_lblRefusals[k]->text() : QString()));
            if (bad && !refused) refused = m_edits[k];
        }
        if (refused) {
            refused->setFocus();
            refused->selectAll();
            return;
        }
        // The ratio is compared by its size, whichever sign it was typed with.
        if (auto& ratio = typed[AlertKind::Ratio]) ratio = std::fabs(*ratio);
        m_limits = typed;
    }
    QDialog::done(result);
}

}  // namespace tickora
