#include "quotepage/quote_page_dlg.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextBlock>
#include <QVBoxLayout>

#include "common/codepage.h"
#include "common/leading_int.h"
#include "common/market_table.h"
#include "common/row_cells.h"
#include "reading/extract.h"
#include "ui/dialog_units.h"

namespace tickora {

namespace {

QString Shown(const std::string& cp932) {
    return QString::fromStdString(Cp932ToUtf8(cp932));
}
std::string Typed(const QString& text) {
    return Utf8ToCp932(text.trimmed().toStdString());
}

// The list column of figure 0..5 (name, time, price, change, ratio, volume).
constexpr std::array<int, 6> kFigureColumns = {ids::kColName,   ids::kColTime,  ids::kColPrice,
                                               ids::kColChange, ids::kColRatio, ids::kColVolume};
QString FigureTitle(int figure) {
    return QString::fromUtf8(ids::kColumnTitles[static_cast<std::size_t>(kFigureColumns[figure])]);
}

template <class W>
W* Named(W* widget, int id, const QString& accessibleName) {
    widget->setObjectName(QString::number(id));
    widget->setAccessibleName(accessibleName);
    return widget;
}

QLabel* Note(QWidget* parent, int id, const QString& name) {
    auto* label = Named(new QLabel(parent), id, name);
    label->setTextFormat(Qt::PlainText);  // texts from the page are data
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QPushButton* Button(QWidget* parent, const char* text, int id) {
    auto* button =
        Named(new QPushButton(QString::fromUtf8(text), parent), id, QString::fromUtf8(text));
    button->setAutoDefault(false);  // Enter in a field is no OK
    return button;
}

QComboBox* MarketCombo(QWidget* parent, int id, const QString& name) {
    auto* combo = Named(new QComboBox(parent), id, name);
    for (const MarketInfo& m : Markets()) combo->addItem(Shown(m.displayName));
    return combo;
}

const char* const kHint =
    "銘柄 は銘柄コード、市場 は市場の記号（東証 t、ＪＱ q、ＨＣ j、大証 o、名証 n、福岡 f、札幌 s）"
    "に置き換わります。4 桁でないコード（指数）では URL の最後の 5 バイトが削られます。";

}  // namespace

// What a fetch brings back to the UI thread: the copy and what it reads as, made on the worker.
struct CQuotePageDlg::Outcome {
    PageCopy copy;
    PageTrial trial;
    std::string visible;
};

CQuotePageDlg::CQuotePageDlg(QWidget* owner, const FetchOptions& limits)
    : QDialog(owner), m_fetchLimits(limits) {
    setWindowTitle(QString::fromUtf8("株価ページ設定"));
    setFont(DialogFont());
    auto* columns = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    columns->addLayout(left, 3);

    auto* page = new QFormLayout;
    m_editBaseUrl = Named(new QLineEdit(this), qp::kBaseUrl, QStringLiteral("BASE_URL"));
    page->addRow(QStringLiteral("BASE_URL"), m_editBaseUrl);
    auto* hint = new QLabel(QString::fromUtf8(kHint), this);
    hint->setWordWrap(true);
    page->addRow(QString(), hint);
    left->addLayout(page);

    m_lblMode = Note(this, qp::kMode, QString::fromUtf8("読み方"));
    left->addWidget(m_lblMode);
    auto* tabs = new QTabWidget(this);
    auto* rulesPage = new QWidget;
    auto* rules = new QFormLayout(rulesPage);
    for (int f = 0; f < kFigureCount; ++f) {
        m_editRules[f] = Named(new QLineEdit(rulesPage), qp::kRuleFirst + f,
                               QString::fromUtf8("ルール ") + FigureTitle(f));
        rules->addRow(FigureTitle(f) + QStringLiteral(" (") + FigureKey(f) + ")", m_editRules[f]);
    }
    connect(m_editRules[kPriceFigure], &QLineEdit::textChanged, this, &CQuotePageDlg::UpdateMode);
    tabs->addTab(rulesPage, QString::fromUtf8("ページルール [PAGE_RULES]"));
    auto* patternsPage = new QWidget;
    auto* patterns = new QFormLayout(patternsPage);
    for (int i = 0; i < kPatternCount; ++i) {
        const QString key = QString::fromUtf8(PatternKey(i));
        m_editPatterns[i] = Named(new QLineEdit(patternsPage), qp::kPatternFirst + i,
                                  QString::fromUtf8("パターン ") + key);
        patterns->addRow(key, m_editPatterns[i]);
    }
    tabs->addTab(patternsPage, QString::fromUtf8("テキストパターン [LINK_JOUHOU]"));
    left->addWidget(tabs);

    auto* tryBox = new QGroupBox(QString::fromUtf8("試す"), this);
    auto* tryLayout = new QVBoxLayout(tryBox);
    auto* tryRow = new QHBoxLayout;
    tryRow->addWidget(new QLabel(QString::fromUtf8("テスト銘柄"), tryBox));
    m_editTestCode = Named(new QLineEdit(tryBox), qp::kTestCode, QString::fromUtf8("テスト銘柄"));
    tryRow->addWidget(m_editTestCode);
    m_cboTestMarket = MarketCombo(tryBox, qp::kTestMarket, QString::fromUtf8("テスト銘柄の市場"));
    tryRow->addWidget(m_cboTestMarket);
    m_btnTry = Button(tryBox, "試す", qp::kTry);
    tryRow->addWidget(m_btnTry);
    tryLayout->addLayout(tryRow);
    m_lblFetch = Note(tryBox, qp::kFetchNote, QString::fromUtf8("取得の結果"));
    tryLayout->addWidget(m_lblFetch);
    m_tblResult = Named(new QTableWidget(7, 2, tryBox), qp::kResult, QString::fromUtf8("結果"));
    m_tblResult->setHorizontalHeaderLabels(
        {QString::fromUtf8("一覧の表示"), QString::fromUtf8("見つけた所")});
    QStringList rowTitles;
    for (int f = 0; f < 6; ++f) rowTitles << FigureTitle(f);
    rowTitles << QString::fromUtf8(ids::kColumnTitles[ids::kColMark]);
    m_tblResult->setVerticalHeaderLabels(rowTitles);
    m_tblResult->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tblResult->horizontalHeader()->setStretchLastSection(true);
    m_tblResult->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_tblResult->setMinimumHeight(m_tblResult->horizontalHeader()->sizeHint().height() +
                                  7 * (m_tblResult->fontMetrics().height() + 8) + 4);
    tryLayout->addWidget(m_tblResult);
    left->addWidget(tryBox);

    auto* suggestBox = new QGroupBox(QString::fromUtf8("ページで読んだ値から提案"), this);
    auto* suggestLayout = new QGridLayout(suggestBox);
    for (int f = 0; f < 6; ++f) {
        suggestLayout->addWidget(new QLabel(FigureTitle(f), suggestBox), 0, f);
        m_editValues[f] = Named(new QLineEdit(suggestBox), qp::kValueFirst + f, FigureTitle(f));
        suggestLayout->addWidget(m_editValues[f], 1, f);
    }
    m_pLastValueEdit = m_editValues[0];
    m_btnSuggest = Button(suggestBox, "提案", qp::kSuggest);
    suggestLayout->addWidget(m_btnSuggest, 1, 6);
    m_lblSuggest = Note(suggestBox, qp::kSuggestNote, QString::fromUtf8("提案の結果"));
    suggestLayout->addWidget(m_lblSuggest, 2, 0, 1, 7);
    left->addWidget(suggestBox);

    auto* checkRow = new QHBoxLayout;
    checkRow->addWidget(new QLabel(QString::fromUtf8("確認銘柄"), this));
    m_editCheckCode = Named(new QLineEdit(this), qp::kCheckCode, QString::fromUtf8("確認銘柄"));
    checkRow->addWidget(m_editCheckCode);
    m_cboCheckMarket = MarketCombo(this, qp::kCheckMarket, QString::fromUtf8("確認銘柄の市場"));
    checkRow->addWidget(m_cboCheckMarket);
    m_btnCheck = Button(this, "確認", qp::kCheck);
    checkRow->addWidget(m_btnCheck);
    left->addLayout(checkRow);
    m_lblCheck = Note(this, qp::kCheckNote, QString::fromUtf8("確認の結果"));
    left->addWidget(m_lblCheck);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = Button(this, "OK", 1);
    auto* cancel = Button(this, "ｷｬﾝｾﾙ", 2);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    left->addLayout(buttons);

    auto* right = new QVBoxLayout;
    columns->addLayout(right, 2);
    right->addWidget(
        new QLabel(QString::fromUtf8("取得したページ（ダブルクリックで値を入力欄へ）"), this));
    auto* findRow = new QHBoxLayout;
    m_editFind = Named(new QLineEdit(this), qp::kFindText, QString::fromUtf8("検索する文字"));
    findRow->addWidget(m_editFind);
    auto* find = Button(this, "検索", qp::kFind);
    findRow->addWidget(find);
    right->addLayout(findRow);
    m_txtPage = Named(new QPlainTextEdit(this), qp::kPage, QString::fromUtf8("取得したページ"));
    m_txtPage->setReadOnly(true);
    m_txtPage->viewport()->installEventFilter(this);
    right->addWidget(m_txtPage);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_btnTry, &QPushButton::clicked, this, &CQuotePageDlg::OnTry);
    connect(m_editTestCode, &QLineEdit::returnPressed, this, &CQuotePageDlg::OnTry);
    connect(m_btnSuggest, &QPushButton::clicked, this, &CQuotePageDlg::OnSuggest);
    connect(m_btnCheck, &QPushButton::clicked, this, &CQuotePageDlg::OnCheck);
    connect(m_editCheckCode, &QLineEdit::returnPressed, this, &CQuotePageDlg::OnCheck);
    connect(find, &QPushButton::clicked, this, &CQuotePageDlg::OnFind);
    connect(m_editFind, &QLineEdit::returnPressed, this, &CQuotePageDlg::OnFind);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        for (QLineEdit* edit : m_editValues)
            if (now == edit) m_pLastValueEdit = edit;
    });
    resize(DuToPx(QRect(0, 0, 620, 440), BaseUnitsOf(font())).size());
}

CQuotePageDlg::~CQuotePageDlg() {
    // A fetch still under way ends now; what it would have shown is dropped.
    m_bCancel = true;
    m_workers.JoinAll();
}

int CQuotePageDlg::DoModal() {
    OnInitDialog();
    return exec();
}

void CQuotePageDlg::OnInitDialog() {
    setWindowIcon(QIcon(QStringLiteral(":/res/flat-16.png")));
    m_editBaseUrl->setText(Shown(m_settings.m_strBaseUrl));
    for (int f = 0; f < kFigureCount; ++f) m_editRules[f]->setText(Shown(m_settings.m_arrRules[f]));
    for (int i = 0; i < kPatternCount; ++i)
        m_editPatterns[i]->setText(Shown(m_settings.m_arrPatternTexts[i]));
    m_editTestCode->setText(Shown(m_strTestCode));
    m_cboTestMarket->setCurrentIndex(std::clamp(m_nTestMarket, 0, kMarketCount - 1));
    m_cboCheckMarket->setCurrentIndex(m_cboTestMarket->currentIndex());
    UpdateMode();
    m_editBaseUrl->setFocus();
}

PageSettings CQuotePageDlg::Edited() const {
    PageSettings s = m_settings;
    s.m_strBaseUrl = Typed(m_editBaseUrl->text());
    for (int f = 0; f < kFigureCount; ++f) s.m_arrRules[f] = Typed(m_editRules[f]->text());
    for (int i = 0; i < kPatternCount; ++i)
        s.m_arrPatternTexts[i] = Typed(m_editPatterns[i]->text());
    return s;
}

void CQuotePageDlg::UpdateMode() {
    const bool byRules = !SplitRule(Typed(m_editRules[kPriceFigure]->text())).path.empty();
    m_lblMode->setText(QString::fromUtf8(
        byRules
            ? "読み方: ページルール（現在値のルールがあるので、すべてのページをルールで読みます）"
            : "読み方: テキストパターン（現在値のルールがないので、7 つのパターンで読みます）"));
}

void CQuotePageDlg::Fetch(QPushButton* button, QLineEdit* code, QComboBox* market,
                          void (CQuotePageDlg::*shows)(Outcome)) {
    if (!button->isEnabled()) return;  // one fetch of each kind at a time
    button->setEnabled(false);
    FetchOptions options = m_fetchLimits;
    options.cancel = &m_bCancel;
    QPointer<CQuotePageDlg> self(this);
    m_workers.Start([self, settings = Edited(), code = Typed(code->text()),
                     market = market->currentIndex(), options, shows] {
        Outcome outcome;
        outcome.copy = FetchPageCopy(settings, code, market, options);
        outcome.trial = TryPage(outcome.copy, settings);
        outcome.visible = VisibleText(outcome.copy);
        QMetaObject::invokeMethod(
            qApp,
            [self, shows, outcome = std::move(outcome)]() mutable {
                if (self) (self->*shows)(std::move(outcome));
            },
            Qt::QueuedConnection);
    });
}

void CQuotePageDlg::OnTry() {
    Fetch(m_btnTry, m_editTestCode, m_cboTestMarket, &CQuotePageDlg::ShowTrial);
}

void CQuotePageDlg::OnCheck() {
    Fetch(m_btnCheck, m_editCheckCode, m_cboCheckMarket, &CQuotePageDlg::ShowCheck);
}

void CQuotePageDlg::ShowTrial(Outcome outcome) {
    m_btnTry->setEnabled(true);
    m_lblFetch->setText(outcome.copy.error.empty()
                            ? Shown(outcome.copy.url) + QString::fromUtf8(" を取得しました（") +
                                  QString::number(outcome.copy.bytes.size()) +
                                  QString::fromUtf8(" バイト）")
                            : Shown(outcome.copy.error));
    m_txtPage->setPlainText(QString::fromStdString(outcome.visible));
    m_copy = std::move(outcome.copy);
    ShowReading(outcome.trial);
    emit TrialShown();
}

void CQuotePageDlg::ShowReading(const PageTrial& trial) {
    const auto cell = [this](int row, int column, const QString& text) {
        auto* item = new QTableWidgetItem(text);
        item->setToolTip(text.toHtmlEscaped());
        m_tblResult->setItem(row, column, item);
    };
    const Quote none;
    const Quote& q = trial.quote ? *trial.quote : none;
    const std::array<const std::string*, 7> shown = {&q.name,  &q.time,   &q.price, &q.change,
                                                     &q.ratio, &q.volume, &q.mark};
    for (int row = 0; row < 7; ++row) {
        cell(row, 0, trial.quote ? Shown(*shown[row]) : QString::fromUtf8("（変わらず）"));
        cell(row, 1, row < 6 ? QString::fromStdString(trial.how[row]) : QString());
    }
    if (!trial.quote)
        cell(6, 1, QString::fromUtf8("no data: 現在値が見つからず、一覧の行は前の値のままです"));
}

void CQuotePageDlg::ShowCheck(Outcome outcome) {
    m_btnCheck->setEnabled(true);
    const PageTrial& t = outcome.trial;
    QString text;
    if (!outcome.copy.error.empty()) {
        text = Shown(outcome.copy.error);
    } else if (!t.quote || LeadingInt(t.quote->price) <= 0) {
        text = QString::fromUtf8("成り立ちません: 現在値が読めません（") +
               QString::fromStdString(t.how[kPriceFigure]) + ")";
    } else {
        QStringList missing;
        const PageSettings s = Edited();
        const Quote& q = *t.quote;
        const std::array<const std::string*, 6> read = {&q.name,   &q.time,  &q.price,
                                                        &q.change, &q.ratio, &q.volume};
        for (int f = 0; f < 6; ++f) {
            const bool expected = t.byRules ? !SplitRule(s.m_arrRules[f]).path.empty() : true;
            if (expected && read[f]->empty()) missing << FigureTitle(f);
        }
        QString figures;
        for (const std::string* r : read) figures += Shown(*r) + " ";
        text = (missing.isEmpty() ? QString::fromUtf8("成り立ちます: ")
                                  : QString::fromUtf8("一部が読めません（") +
                                        missing.join(QStringLiteral("、")) + "）: ") +
               figures + Shown(q.mark);
    }
    m_lblCheck->setText(text);
    emit CheckShown();
}

void CQuotePageDlg::OnSuggest() {
    if (!m_copy || !m_copy->error.empty()) {
        m_lblSuggest->setText(
            QString::fromUtf8("先に「試す」でテスト銘柄のページを取得してください"));
        return;
    }
    FigureTexts values;
    for (int f = 0; f < 6; ++f) values[f] = Typed(m_editValues[f]->text());
    const PageSuggestion s = SuggestForPage(*m_copy, values);
    if (s.patterns.Found())
        for (int i = 0; i < kPatternCount; ++i)
            m_editPatterns[i]->setText(Shown(s.patterns.texts[i]));
    QString note;
    if (s.rules.Complete()) {
        for (int f = 0; f < kFigureCount; ++f) m_editRules[f]->setText(Shown(s.rules.rules[f]));
        note = QString::fromUtf8("ページルールを提案しました（このページで確かめ済み）");
    } else {
        const auto why = std::find_if(s.rules.why.begin(), s.rules.why.end(),
                                      [](const std::string& w) { return !w.empty(); });
        note = QString::fromUtf8("ページルールは作れません: ") +
               QString::fromStdString(why == s.rules.why.end() ? "現在値を入力してください" : *why);
        if (s.patterns.Found()) {
            // The patterns read this page only while no price rule is set.
            for (QLineEdit* edit : m_editRules) edit->clear();
            note += QString::fromUtf8("。テキストパターンを提案しました");
        }
    }
    if (!s.patterns.Found() && !s.rules.Complete())
        note +=
            QString::fromUtf8("。パターンも作れません: ") + QString::fromStdString(s.patterns.why);
    m_lblSuggest->setText(note);
    // What the list shows with them, from the same copy.
    ShowReading(TryPage(*m_copy, Edited()));
}

void CQuotePageDlg::OnFind() {
    const QString text = m_editFind->text();
    if (text.isEmpty()) return;
    if (!m_txtPage->find(text)) {
        m_txtPage->moveCursor(QTextCursor::Start);
        m_txtPage->find(text);
    }
}

bool CQuotePageDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_txtPage->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        PickFigure(static_cast<QMouseEvent*>(event)->position().toPoint());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CQuotePageDlg::PickFigure(const QPoint& at) {
    const QTextCursor cursor = m_txtPage->cursorForPosition(at);
    const QString line = cursor.block().text();
    int from = cursor.positionInBlock(), to = from;
    while (from > 0 && !line[from - 1].isSpace()) --from;
    while (to < line.size() && !line[to].isSpace()) ++to;
    QString word = line.mid(from, to - from);
    // A figure comes without the unit written after it: "4,785円" gives "4,785".
    static const QString kFigure =
        QString::fromUtf8("0123456789,.+-%:/０１２３４５６７８９，．＋－％");
    if (!word.isEmpty() && kFigure.contains(word[0])) {
        int end = 0;
        while (end < word.size() && kFigure.contains(word[end])) ++end;
        word.truncate(end);
    }
    if (word.isEmpty() || m_pLastValueEdit == nullptr) return;
    m_pLastValueEdit->setText(word);
    // The next figure's field takes the next pick.
    const auto it = std::find(m_editValues.begin(), m_editValues.end(), m_pLastValueEdit);
    if (it != m_editValues.end() && std::next(it) != m_editValues.end()) {
        m_pLastValueEdit = *std::next(it);
        m_pLastValueEdit->setFocus();
    }
}

void CQuotePageDlg::done(int result) {
    // Whatever is typed; the caller keeps it only after OK.
    m_settings = Edited();
    m_bCancel = true;
    QDialog::done(result);
}

}  // namespace tickora
