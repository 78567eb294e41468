// How the quote-page dialog is laid out: the settings and the steps on the left, in a pane
// that scrolls when the screen is short, the fetched page on the right, a splitter between
// them, and OK and キャンセル always in sight below.

#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "common/codepage.h"
#include "common/market_table.h"
#include "common/row_cells.h"
#include "quotepage/quote_page_dlg.h"
#include "quotepage/quote_page_words.h"
#include "quotes/index_panel.h"
#include "ui/dialog_units.h"
#include "ui/plain_text.h"

namespace tickora {

namespace {

QString U(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

template <class W>
W* Named(W* widget, int id, const QString& accessibleName) {
    widget->setObjectName(QString::number(id));
    widget->setAccessibleName(accessibleName);
    return widget;
}

QLabel* Text(const char* utf8, QWidget* parent) {
    auto* label = new QLabel(QString::fromUtf8(utf8), parent);
    label->setWordWrap(true);
    return label;
}

QLabel* Note(QWidget* parent, int id, const char* name) {
    auto* label = Named(new QLabel(parent), id, QString::fromUtf8(name));
    label->setProperty("purpose", QString::fromUtf8(name));
    label->setTextFormat(Qt::PlainText);  // texts from the page are data
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QPushButton* Button(QWidget* parent, const char* text, int id, const QString& name = {}) {
    auto* button = Named(new QPushButton(QString::fromUtf8(text), parent), id,
                         name.isEmpty() ? QString::fromUtf8(text) : name);
    button->setAutoDefault(false);  // Enter in a field is no OK
    return button;
}

QComboBox* MarketCombo(QWidget* parent, int id, const char* name) {
    auto* combo = Named(new QComboBox(parent), id, QString::fromUtf8(name));
    for (const MarketInfo& m : Markets()) combo->addItem(Shown(m.displayName));
    return combo;
}

// A screen reader names a combo box by its current item: the label it is the buddy of, and
// its description, say what it is for.
QLabel* MarketLabel(QComboBox* combo, QWidget* parent) {
    auto* label = new QLabel(QString::fromUtf8("市場"), parent);
    label->setBuddy(combo);
    combo->setAccessibleDescription(combo->accessibleName());
    return label;
}

// Rules and patterns in a monospaced font that draws '\' as a backslash, never as the yen
// sign some Japanese fonts put there.
QFont CodeFont(const QFont& base) {
    QFont font(QStringList{QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono"),
                           QStringLiteral("Noto Mono")});
    font.setStyleHint(QFont::Monospace);
    font.setPointSizeF(base.pointSizeF());
    return font;
}

QLineEdit* CodeEdit(QWidget* parent, int id, const QString& name) {
    auto* edit = Named(new QLineEdit(parent), id, name);
    edit->setFont(CodeFont(parent->font()));
    return edit;
}

const char* const kSteps =
    "手順: ① テスト銘柄を「試す」 → ② 一覧に出したい値を下の欄へ（右のページをダブルクリック"
    "で取り込めます） → ③「提案」 → ④ 別の銘柄で「確認」 → ⑤ OK";
const char* const kUrlHint =
    "銘柄 は銘柄コード、市場 は市場の記号（東証 t、ＪＱ q、ＨＣ j、大証 o、名証 n、福岡 f、札幌 s）"
    "に置き換わります。";
const char* const kRulesHint =
    "ページルールは、今日のページを値ごとに XPath（と、必要なら ~ の後の正規表現）で読む方法です。"
    "現在値のルールがあれば、すべてのページをルールで読みます。";
const char* const kPatternsHint =
    "7 つのテキストパターンは、昔のページを値の前後の文字列で切り出す方法です（ページの最初の "
    "202 行だけを読みます）。";
const char* const kIndexHint =
    "指数のページを空欄にすると、BASE_URL の最後の 5 バイトを削ったアドレスで読みます。";
const char* const kTimeHint =
    "時刻がなく日付だけのページでは、更新時の欄にページの日付（例 12/07）を入力します。";

}  // namespace

void CQuotePageDlg::CreateControls() {
    setWindowTitle(QString::fromUtf8("株価ページ設定"));
    setFont(DialogFont());
    setSizeGripEnabled(true);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(Text(kSteps, this));
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    auto* scroll = new QScrollArea(splitter);
    scroll->setObjectName(QStringLiteral("steps"));
    scroll->setAccessibleName(QString::fromUtf8("設定と試す"));
    scroll->setWidgetResizable(true);
    scroll->setFocusPolicy(Qt::NoFocus);  // its controls are the stops
    scroll->setFrameShape(QFrame::NoFrame);
    auto* left = new QWidget;
    auto* column = new QVBoxLayout(left);
    auto* page = new QFormLayout;
    m_editBaseUrl = Named(new QLineEdit(left), qp::kBaseUrl, QStringLiteral("BASE_URL"));
    page->addRow(QStringLiteral("BASE_URL"), m_editBaseUrl);
    page->addRow(QString(), Text(kUrlHint, left));
    column->addLayout(page);
    m_lblMode = Note(left, qp::kMode, "読み方");
    column->addWidget(m_lblMode);
    column->addWidget(CreateSettingsTabs());
    column->addWidget(CreateTrySection());
    column->addWidget(CreateFigureSection());
    column->addWidget(CreateCheckSection());
    column->addStretch();
    scroll->setWidget(left);
    splitter->addWidget(scroll);
    splitter->addWidget(CreatePageSection());
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    outer->addWidget(splitter, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = Button(this, "OK", qp::kOk);
    auto* cancel = Button(this, "ｷｬﾝｾﾙ", qp::kCancel, QString::fromUtf8("キャンセル"));
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    outer->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QWidget* CQuotePageDlg::CreateSettingsTabs() {
    auto* tabs = Named(new QTabWidget(this), qp::kTabs, QString::fromUtf8("読み方の設定"));
    auto* rulesPage = new QWidget;
    auto* rules = new QFormLayout(rulesPage);
    rules->addRow(Text(kRulesHint, rulesPage));
    for (int f = 0; f < kFigureCount; ++f) {
        const QString title = U(words::FigureTitle(f));
        m_editRules[f] =
            CodeEdit(rulesPage, qp::kRuleFirst + f, QString::fromUtf8("ルール ") + title);
        rules->addRow(title + QStringLiteral(" (") + FigureKey(f) + ")", m_editRules[f]);
    }
    tabs->addTab(rulesPage, QString::fromUtf8("ページルール [PAGE_RULES]"));
    auto* patternsPage = new QWidget;
    auto* patterns = new QFormLayout(patternsPage);
    patterns->addRow(Text(kPatternsHint, patternsPage));
    for (int i = 0; i < kPatternCount; ++i) {
        const QString key = QString::fromUtf8(PatternKey(i));
        m_editPatterns[i] =
            CodeEdit(patternsPage, qp::kPatternFirst + i, QString::fromUtf8("パターン ") + key);
        patterns->addRow(key, m_editPatterns[i]);
    }
    tabs->addTab(patternsPage, QString::fromUtf8("テキストパターン [LINK_JOUHOU]"));
    auto* indexPage = new QWidget;
    auto* indexes = new QGridLayout(indexPage);
    indexes->addWidget(Text(kIndexHint, indexPage), 0, 0, 1, 3);
    for (int i = 0; i < 3; ++i) {
        const QString label = Shown(Indices()[static_cast<std::size_t>(i)].label);
        indexes->addWidget(new QLabel(label, indexPage), i + 1, 0);
        m_editIndexUrls[i] = Named(new QLineEdit(indexPage), qp::kIndexUrlFirst + i,
                                   label + QString::fromUtf8("のページ"));
        indexes->addWidget(m_editIndexUrls[i], i + 1, 1);
        auto* tryIndex = Button(indexPage, "試す", qp::kIndexTryFirst + i,
                                label + QString::fromUtf8("のページを試す"));
        connect(tryIndex, &QPushButton::clicked, this, [this, i] { OnTryIndex(i); });
        indexes->addWidget(tryIndex, i + 1, 2);
        m_busyControls.push_back(tryIndex);
    }
    tabs->addTab(indexPage, QString::fromUtf8("指数 [INDEX_PAGES]"));
    return tabs;
}

QWidget* CQuotePageDlg::CreateTrySection() {
    auto* box = new QWidget(this);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QString::fromUtf8("① テスト銘柄"), box));
    m_editTestCode = Named(new QLineEdit(box), qp::kTestCode, QString::fromUtf8("テスト銘柄"));
    row->addWidget(m_editTestCode);
    m_cboTestMarket = MarketCombo(box, qp::kTestMarket, "テスト銘柄の市場");
    row->addWidget(MarketLabel(m_cboTestMarket, box));
    row->addWidget(m_cboTestMarket);
    m_btnTry = Button(box, "試す", qp::kTry);
    row->addWidget(m_btnTry);
    m_btnStop = Button(box, "中止", qp::kStop, QString::fromUtf8("取得を中止"));
    m_btnStop->setEnabled(false);
    row->addWidget(m_btnStop);
    layout->addLayout(row);
    m_lblFetch = Note(box, qp::kFetchNote, "取得の結果");
    layout->addWidget(m_lblFetch);
    m_tblResult = Named(new QTableWidget(7, 2, box), qp::kResult, QString::fromUtf8("結果"));
    m_tblResult->setHorizontalHeaderLabels(
        {QString::fromUtf8("一覧の表示"), QString::fromUtf8("見つけた所")});
    QStringList rowTitles;
    for (int f = 0; f < kFigureCount; ++f) rowTitles << U(words::FigureTitle(f));
    rowTitles << QString::fromUtf8(ids::kColumnTitles[ids::kColMark]);
    m_tblResult->setVerticalHeaderLabels(rowTitles);
    m_tblResult->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tblResult->setTabKeyNavigation(false);  // one stop, which Tab leaves
    m_tblResult->horizontalHeader()->setStretchLastSection(true);
    m_tblResult->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    const int rowHeight = m_tblResult->fontMetrics().height() + 8;
    m_tblResult->verticalHeader()->setDefaultSectionSize(rowHeight);
    m_tblResult->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_tblResult->setFixedHeight(m_tblResult->horizontalHeader()->sizeHint().height() +
                                7 * rowHeight + 2 * m_tblResult->frameWidth() + 2);
    layout->addWidget(m_tblResult);
    m_busyControls.push_back(m_btnTry);
    return box;
}

QWidget* CQuotePageDlg::CreateFigureSection() {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(Text("② ページで読んだ値（単位は要りません）", box), 0, 0, 1, 7);
    grid->addWidget(new QLabel(QString::fromUtf8("テスト銘柄"), box), 2, 0);
    grid->addWidget(new QLabel(QString::fromUtf8("確認銘柄（任意）"), box), 3, 0);
    for (int f = 0; f < kFigureCount; ++f) {
        const QString title = U(words::FigureTitle(f));
        grid->addWidget(new QLabel(title, box), 1, f + 1);
        m_editValues[f] = Named(new QLineEdit(box), qp::kValueFirst + f, title);
        grid->addWidget(m_editValues[f], 2, f + 1);
        m_editCheckValues[f] = Named(new QLineEdit(box), qp::kCheckValueFirst + f,
                                     QString::fromUtf8("確認銘柄の") + title);
        grid->addWidget(m_editCheckValues[f], 3, f + 1);
    }
    grid->addWidget(Text(kTimeHint, box), 4, 0, 1, 7);
    m_btnSuggest = Button(box, "③ 提案", qp::kSuggest, QString::fromUtf8("提案"));
    grid->addWidget(m_btnSuggest, 5, 0);
    m_lblSuggest = Note(box, qp::kSuggestNote, "提案の結果");
    grid->addWidget(m_lblSuggest, 5, 1, 1, 6);
    m_pLastValueEdit = m_editValues[0];
    m_busyControls.push_back(m_btnSuggest);
    return box;
}

QWidget* CQuotePageDlg::CreateCheckSection() {
    auto* box = new QWidget(this);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QString::fromUtf8("④ 確認銘柄"), box));
    m_editCheckCode = Named(new QLineEdit(box), qp::kCheckCode, QString::fromUtf8("確認銘柄"));
    row->addWidget(m_editCheckCode);
    m_cboCheckMarket = MarketCombo(box, qp::kCheckMarket, "確認銘柄の市場");
    row->addWidget(MarketLabel(m_cboCheckMarket, box));
    row->addWidget(m_cboCheckMarket);
    m_btnCheck = Button(box, "確認", qp::kCheck);
    row->addWidget(m_btnCheck);
    layout->addLayout(row);
    m_lblCheck = Note(box, qp::kCheckNote, "確認の結果");
    layout->addWidget(m_lblCheck);
    m_busyControls.push_back(m_btnCheck);
    return box;
}

QWidget* CQuotePageDlg::CreatePageSection() {
    auto* box = new QWidget(this);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(Text("取得したページ（ダブルクリックで値を入力欄へ）", box));
    auto* findRow = new QHBoxLayout;
    m_editFind = Named(new QLineEdit(box), qp::kFindText, QString::fromUtf8("検索する文字"));
    findRow->addWidget(m_editFind);
    m_btnFind = Button(box, "検索", qp::kFind);
    findRow->addWidget(m_btnFind);
    layout->addLayout(findRow);
    m_txtPage = Named(new QPlainTextEdit(box), qp::kPage, QString::fromUtf8("取得したページ"));
    m_txtPage->setReadOnly(true);
    m_txtPage->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_txtPage->setTabChangesFocus(true);
    m_txtPage->viewport()->installEventFilter(this);
    layout->addWidget(m_txtPage, 1);
    return box;
}

void CQuotePageDlg::SetTabOrder() {
    std::vector<QWidget*> order = {m_editBaseUrl,
                                   findChild<QTabWidget*>(QString::number(qp::kTabs))};
    for (QLineEdit* e : m_editRules) order.push_back(e);
    for (QLineEdit* e : m_editPatterns) order.push_back(e);
    for (int i = 0; i < 3; ++i) {
        order.push_back(m_editIndexUrls[i]);
        order.push_back(findChild<QPushButton*>(QString::number(qp::kIndexTryFirst + i)));
    }
    for (QWidget* w : {static_cast<QWidget*>(m_editTestCode),
                       static_cast<QWidget*>(m_cboTestMarket), static_cast<QWidget*>(m_btnTry),
                       static_cast<QWidget*>(m_btnStop), static_cast<QWidget*>(m_tblResult)})
        order.push_back(w);
    for (QLineEdit* e : m_editValues) order.push_back(e);
    for (QLineEdit* e : m_editCheckValues) order.push_back(e);
    for (QWidget* w : {static_cast<QWidget*>(m_btnSuggest), static_cast<QWidget*>(m_editCheckCode),
                       static_cast<QWidget*>(m_cboCheckMarket), static_cast<QWidget*>(m_btnCheck),
                       static_cast<QWidget*>(m_editFind), static_cast<QWidget*>(m_btnFind),
                       static_cast<QWidget*>(m_txtPage)})
        order.push_back(w);
    order.push_back(findChild<QPushButton*>(QString::number(qp::kOk)));
    order.push_back(findChild<QPushButton*>(QString::number(qp::kCancel)));
    for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

void CQuotePageDlg::FitToScreen() {
    const QScreen* on = screen() ? screen() : QGuiApplication::primaryScreen();
    const QSize room = on ? on->availableGeometry().size() : QSize(1024, 768);
    const QSize wanted = DuToPx(QRect(0, 0, 640, 420), BaseUnitsOf(font())).size();
    // The frame takes some of the room as well.
    const QSize frame = frameGeometry().size() - geometry().size();
    resize(wanted.boundedTo(room - frame - QSize(8, 8)));
    if (on) move(on->availableGeometry().center() - rect().center());
}

}  // namespace tickora
