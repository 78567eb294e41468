#include "links/link_url_dlg.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QTimer>

#include "common/codepage.h"
#include "links/link_templates.h"
#include "ui/dialog_units.h"
#include "ui/fit_width.h"
#include "ui/plain_text.h"

namespace tickora {

namespace {

// Below this the dialog cannot be made; its height never changes.
constexpr int kMinWidth = 523;
constexpr int kHeight = 170;

QComboBox* UrlCombo(QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);  // a typed URL is no new list line
    combo->setCompleter(nullptr);                 // nor is it completed from the lines
    combo->lineEdit()->setValidator(new FitWidthValidator(combo->lineEdit()));
    return combo;
}

// "URL" beside a field, or the URL the field's line names.
QLabel* UrlLabel(QWidget* parent) {
    auto* label = new QLabel(QStringLiteral("URL"), parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    return label;
}

}  // namespace

CLinkUrlDlg::CLinkUrlDlg(QWidget* owner) : QDialog(owner) {
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QString::fromUtf8("リンクURL設定"));
    setFont(DialogFont());
    const BaseUnits units = BaseUnitsOf(font());
    auto place = [&](QWidget* w, int x, int y, int width, int height, int id) {
        w->setGeometry(DuToPx(QRect(x, y, width, height), units));
        if (id) w->setObjectName(QString::number(id));
    };
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    place(ok, 5, 74, 50, 14, 1);
    auto* cancel = new QPushButton(QString::fromUtf8("ｷｬﾝｾﾙ"), this);
    place(cancel, 57, 74, 50, 14, 2);
    cancel->setAccessibleName(QString::fromUtf8("キャンセル"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* stockTitle = new QLabel(QString::fromUtf8("銘柄リンクURL"), this);
    place(stockTitle, 5, 37, 45, 8, 0);
    auto* nikkeiTitle = new QLabel(QString::fromUtf8("日経リンクURL"), this);
    place(nikkeiTitle, 5, 7, 45, 8, 0);
    m_cboStock = UrlCombo(this);
    place(m_cboStock, 54, 47, 233, 12, 1052);
    m_cboNikkei = UrlCombo(this);
    place(m_cboNikkei, 54, 18, 233, 12, 1053);
    // A screen reader hears a combo box as its URL; the titles say what each one is.
    for (const auto& [title, combo] :
         {std::pair{stockTitle, m_cboStock}, {nikkeiTitle, m_cboNikkei}}) {
        title->setBuddy(combo);
        combo->setAccessibleDescription(title->text());
        combo->lineEdit()->setAccessibleName(title->text());
    }
    m_lblNikkei = UrlLabel(this);
    place(m_lblNikkei, 5, 20, 45, 8, 1054);
    m_lblStock = UrlLabel(this);
    place(m_lblStock, 5, 49, 45, 8, 1055);
    setTabOrder(ok, cancel);
    setTabOrder(cancel, m_cboNikkei);
    setTabOrder(m_cboNikkei, m_cboStock);
    connect(m_cboNikkei, &QComboBox::activated, this,
            [this] { OnSelchange(m_cboNikkei, m_lblNikkei, m_strNikkeiUrl); });
    connect(m_cboStock, &QComboBox::activated, this,
            [this] { OnSelchange(m_cboStock, m_lblStock, m_strStockUrl); });
    const QSize size = DuToPx(QRect(0, 0, 294, 95), units).size();
    setMinimumSize(kMinWidth, kHeight);
    setMaximumHeight(kHeight);
    resize(std::max(size.width(), kMinWidth), kHeight);
}

void CLinkUrlDlg::OnInitDialog() {
    setWindowIcon(QIcon(QStringLiteral(":/res/flat-16.png")));
    for (const std::string& line : m_arrNikkeiLines) m_cboNikkei->addItem(Shown(line));
    for (const std::string& line : m_arrStockLines) m_cboStock->addItem(Shown(line));
    // The fields show the current settings, not a line of the lists.
    m_cboNikkei->setCurrentIndex(-1);
    m_cboStock->setCurrentIndex(-1);
    m_lblStock->setText(Shown(m_strStockLabel));
    m_lblNikkei->setText(Shown(m_strNikkeiLabel));
    m_cboStock->setEditText(Shown(m_strStockUrl));
    m_cboNikkei->setEditText(Shown(m_strNikkeiUrl));
    m_nPrevWidth = width();
    findChild<QPushButton*>(QStringLiteral("1"))->setFocus();
}

int CLinkUrlDlg::DoModal() {
    OnInitDialog();
    return exec();
}

void CLinkUrlDlg::OnSelchange(QComboBox* combo, QLabel* label, std::string& url) {
    url = Typed(combo->currentText());
    // The combo box writes the chosen line into its field after this notification: the
    // split waits until it has, and gives way to a line chosen after this one.
    QTimer::singleShot(0, this, [combo, label, &url, chosen = url] {
        if (url != chosen) return;
        const std::optional<LinkLine> line = SplitLinkLine(url);
        if (!line) return;  // a line without "_" stays whole, the label as it was
        url = line->url;
        combo->setEditText(Shown(url));
        label->setText(Shown(line->label));
    });
}

void CLinkUrlDlg::done(int result) {
    // Whatever was chosen or typed; the caller keeps it only after OK.
    m_strStockLabel = Typed(m_lblStock->text());
    m_strNikkeiLabel = Typed(m_lblNikkei->text());
    m_strStockUrl = Typed(m_cboStock->currentText());
    m_strNikkeiUrl = Typed(m_cboNikkei->currentText());
    QDialog::done(result);
}

void CLinkUrlDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (m_nPrevWidth == 0) return;  // not yet initialised
    const int width = m_cboNikkei->width() + event->size().width() - m_nPrevWidth;
    m_cboNikkei->resize(width, m_cboNikkei->height());
    m_cboStock->resize(width, m_cboStock->height());
    m_nPrevWidth = event->size().width();
}

}  // namespace tickora
