#include "quotepage/quote_page_dlg.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QTextBlock>

#include "common/codepage.h"
#include "common/market_table.h"
#include "common/sjis.h"
#include "quotepage/quote_page_words.h"
#include "quotes/index_panel.h"
#include "ui/plain_text.h"

namespace tickora {

namespace {

QString U(const std::string& utf8) {
    return QString::fromStdString(utf8);
}
// A note's name is what it is for, then what it says: a screen reader hears the text, and
// hears it change.
void SetNote(QLabel* note, const QString& text) {
    note->setText(text);
    note->setAccessibleName(note->property("purpose").toString() + QStringLiteral(" ") + text);
}

std::string TypedText(const QString& text) {
    return Typed(text.trimmed());
}

}  // namespace

// What a job brings back to the UI thread, made on the worker.
struct CQuotePageDlg::Outcome {
    std::shared_ptr<const PageSample> sample;
    PatternTexts patterns;  // those the trial read with
    Trial trial;
    Suggestion suggestion;
    Adoption adoption;
    FigureTexts values;
    Check check;
};

CQuotePageDlg::CQuotePageDlg(QWidget* owner, const FetchOptions& limits)
    : QDialog(owner), m_fetchLimits(limits) {
    CreateControls();
    ConnectControls();
    SetTabOrder();
}

CQuotePageDlg::~CQuotePageDlg() {
    // A job still under way ends now; what it would have shown is dropped.
    m_bCancel = true;
    m_workers.JoinAll();
}

int CQuotePageDlg::DoModal() {
    OnInitDialog();
    return exec();
}

void CQuotePageDlg::ConnectControls() {
    connect(m_btnTry, &QPushButton::clicked, this, &CQuotePageDlg::OnTry);
    connect(m_editTestCode, &QLineEdit::returnPressed, this, &CQuotePageDlg::OnTry);
    connect(m_btnStop, &QPushButton::clicked, this, &CQuotePageDlg::OnStop);
    connect(m_btnSuggest, &QPushButton::clicked, this, &CQuotePageDlg::OnSuggest);
    connect(m_btnCheck, &QPushButton::clicked, this, &CQuotePageDlg::OnCheck);
    connect(m_editCheckCode, &QLineEdit::returnPressed, this, &CQuotePageDlg::OnCheck);
    connect(m_btnFind, &QPushButton::clicked, this, &CQuotePageDlg::OnFind);
    connect(m_editFind, &QLineEdit::returnPressed, this, &CQuotePageDlg::OnFind);
    connect(m_editRules[kPriceFigure], &QLineEdit::textChanged, this, &CQuotePageDlg::UpdateMode);
    auto* steps = findChild<QScrollArea*>(QStringLiteral("steps"));
    connect(qApp, &QApplication::focusChanged, this, [this, steps](QWidget*, QWidget* now) {
        for (const auto* fields : {&m_editValues, &m_editCheckValues})
            for (QLineEdit* edit : *fields)
                if (now == edit) m_pLastValueEdit = edit;
        // The control Tab reaches comes into sight in the pane that scrolls.
        if (now && steps->widget()->isAncestorOf(now)) steps->ensureWidgetVisible(now);
    });
}

void CQuotePageDlg::OnInitDialog() {
    setWindowIcon(QIcon(QStringLiteral(":/res/flat-16.png")));
    m_editBaseUrl->setText(Shown(m_settings.m_strBaseUrl));
    for (int f = 0; f < kFigureCount; ++f) m_editRules[f]->setText(Shown(m_settings.m_arrRules[f]));
    for (int i = 0; i < kPatternCount; ++i)
        m_editPatterns[i]->setText(Shown(m_settings.m_arrPatternTexts[i]));
    for (int i = 0; i < 3; ++i) m_editIndexUrls[i]->setText(Shown(m_settings.m_arrIndexUrls[i]));
    m_editTestCode->setText(Shown(m_strTestCode));
    m_cboTestMarket->setCurrentIndex(std::clamp(m_nTestMarket, 0, kMarketCount - 1));
    m_cboCheckMarket->setCurrentIndex(m_cboTestMarket->currentIndex());
    UpdateMode();
    m_editBaseUrl->setFocus();
}

void CQuotePageDlg::showEvent(QShowEvent* event) {
    if (!m_bFitted) FitToScreen();
    m_bFitted = true;
    QDialog::showEvent(event);
}

PageSettings CQuotePageDlg::Edited() const {
    PageSettings s = m_settings;
    s.m_strBaseUrl = TypedText(m_editBaseUrl->text());
    for (int f = 0; f < kFigureCount; ++f) s.m_arrRules[f] = TypedText(m_editRules[f]->text());
    for (int i = 0; i < kPatternCount; ++i)
        s.m_arrPatternTexts[i] = TypedText(m_editPatterns[i]->text());
    for (int i = 0; i < 3; ++i) s.m_arrIndexUrls[i] = TypedText(m_editIndexUrls[i]->text());
    return s;
}

FigureTexts CQuotePageDlg::Typed(const std::array<QLineEdit*, kFigureCount>& fields) const {
    FigureTexts values;
    for (int f = 0; f < kFigureCount; ++f) values[f] = TypedText(fields[f]->text());
    return values;
}

void CQuotePageDlg::UpdateMode() {
    const bool byRules = !SplitRule(TypedText(m_editRules[kPriceFigure]->text())).path.empty();
    SetNote(
        m_lblMode,
        QString::fromUtf8(
            byRules ? "読み方: "
                      "ページルール（現在値のルールがあるので、すべてのページをルールで読みます）"
                    : "読み方: テキストパターン（現在値のルールがないので、7 "
                      "つのパターンで読みます）"));
}

void CQuotePageDlg::SetBusy(bool busy) {
    m_bBusy = busy;
    for (QWidget* control : m_busyControls) control->setEnabled(!busy);
    m_btnStop->setEnabled(busy);
}

void CQuotePageDlg::Run(const QString& busy, Work work, void (CQuotePageDlg::*shows)(Outcome)) {
    if (m_bBusy) return;  // one job at a time
    SetBusy(true);
    m_bCancel = false;
    SetNote(m_lblFetch, busy);
    QPointer<CQuotePageDlg> self(this);
    m_workers.Start([self, work = std::move(work), shows] {
        Outcome outcome = work();
        QMetaObject::invokeMethod(
            qApp,
            [self, shows, outcome = std::move(outcome)]() mutable {
                if (!self) return;
                self->SetBusy(false);
                (self.data()->*shows)(std::move(outcome));
            },
            Qt::QueuedConnection);
    });
}

void CQuotePageDlg::OnStop() {
    m_bCancel = true;
}

void CQuotePageDlg::OnTry() {
    const PageSettings settings = Edited();
    const std::string code = TypedText(m_editTestCode->text());
    std::string url = settings.UrlOf(code, m_cboTestMarket->currentIndex());
    // An index code is read from the index's own page where one is set.
    for (std::size_t i = 0; i < Indices().size(); ++i)
        if (code == Indices()[i].code) url = settings.IndexUrlOf(i, code);
    FetchOptions options = m_fetchLimits;
    options.cancel = &m_bCancel;
    Run(
        QString::fromUtf8("取得中… ") + Shown(url),
        [url, settings, options] {
            Outcome o;
            o.sample = std::make_shared<const PageSample>(FetchSample(url, options));
            o.trial = TryPage(*o.sample, settings);
            o.patterns = settings.m_arrPatternTexts;
            return o;
        },
        &CQuotePageDlg::ShowTrial);
}

void CQuotePageDlg::OnTryIndex(int index) {
    m_editTestCode->setText(QString::fromUtf8(Indices()[static_cast<std::size_t>(index)].code));
    OnTry();
}

void CQuotePageDlg::ShowTrial(Outcome outcome) {
    const PageSample& sample = *outcome.sample;
    SetNote(m_lblFetch, sample.failure
                            ? U(words::FetchFailed(*sample.failure))
                            : Shown(sample.source) + QString::fromUtf8(" を取得しました（") +
                                  QString::number(sample.bytes.size()) +
                                  QString::fromUtf8(" バイト）"));
    m_txtPage->setPlainText(U(sample.visible));
    m_sample = std::move(outcome.sample);
    ShowReading(outcome.trial, outcome.patterns);
    emit TrialShown();
}

void CQuotePageDlg::ShowReading(const Trial& trial, const PatternTexts& patterns) {
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
        cell(row, 1, row < kFigureCount ? U(words::HowRead(trial, row, patterns)) : QString());
    }
    if (!trial.quote)
        cell(6, 1, QString::fromUtf8("現在値が読めないので、一覧の行は前の値のままです"));
    for (const RuleError& error : trial.ruleErrors)
        cell(error.figure, 1, U(words::RuleErrorSentence(error)));
}

void CQuotePageDlg::OnSuggest() {
    if (!m_sample || m_sample->failure) {
        SetNote(m_lblSuggest,
                QString::fromUtf8("先に「試す」でテスト銘柄のページを取得してください"));
        return;
    }
    Run(
        QString::fromUtf8("提案を作っています…"),
        [sample = m_sample, second = m_checkSample, settings = Edited(),
         values = Typed(m_editValues), secondValues = Typed(m_editCheckValues)] {
            Outcome o;
            o.suggestion = Suggest(*sample, values, second.get(), secondValues);
            o.adoption = Adopt(settings, o.suggestion);
            o.trial = TryPage(*sample, o.adoption.settings);
            o.patterns = o.adoption.settings.m_arrPatternTexts;
            o.values = values;
            return o;
        },
        &CQuotePageDlg::ShowSuggestion);
}

void CQuotePageDlg::ShowSuggestion(Outcome outcome) {
    const PageSettings& s = outcome.adoption.settings;
    for (int f = 0; f < kFigureCount; ++f) m_editRules[f]->setText(Shown(s.m_arrRules[f]));
    for (int i = 0; i < kPatternCount; ++i)
        m_editPatterns[i]->setText(Shown(s.m_arrPatternTexts[i]));
    SetNote(m_lblFetch, Shown(m_sample->source));
    SetNote(m_lblSuggest,
            U(words::SuggestionSentence(outcome.suggestion, outcome.adoption, outcome.values)));
    // What the list shows with them, from the same copy.
    ShowReading(outcome.trial, outcome.patterns);
    emit SuggestionShown();
}

void CQuotePageDlg::OnCheck() {
    const PageSettings settings = Edited();
    const std::string url =
        settings.UrlOf(TypedText(m_editCheckCode->text()), m_cboCheckMarket->currentIndex());
    FetchOptions options = m_fetchLimits;
    options.cancel = &m_bCancel;
    Run(
        QString::fromUtf8("取得中… ") + Shown(url),
        [url, test = m_sample, settings, options, typed = Typed(m_editCheckValues)] {
            Outcome o;
            o.sample = std::make_shared<const PageSample>(FetchSample(url, options));
            o.check = CheckStock(test ? *test : PageSample{}, *o.sample, settings, typed);
            return o;
        },
        &CQuotePageDlg::ShowCheck);
}

void CQuotePageDlg::ShowCheck(Outcome outcome) {
    const PageSample& second = *outcome.sample;
    SetNote(m_lblFetch, Shown(second.source));
    QString text = U(words::CheckSentence(outcome.check));
    if (second.failure) text += QString::fromUtf8("。") + U(words::FetchFailed(*second.failure));
    SetNote(m_lblCheck, text);
    // A page that read, and is not the test stock's, is one to learn from.
    const Verdict v = outcome.check.verdict;
    if (v != Verdict::kFetchFailed && v != Verdict::kSamePage)
        m_checkSample = std::move(outcome.sample);
    emit CheckShown();
}

std::string CQuotePageDlg::OkProblem(const PageSettings& s) const {
    std::string problem;
    const PageRules rules(s.m_arrRules);
    for (const RuleError& error : rules.Errors()) problem += words::RuleErrorSentence(error) + "\n";
    if (Find(s.m_strBaseUrl, Sj("銘柄"), 0) == kNone)
        problem += "BASE_URL に「銘柄」がありません。どの銘柄も同じページを読みます。\n";
    return problem;
}

void CQuotePageDlg::accept() {
    if (const std::string problem = OkProblem(Edited()); !problem.empty()) {
        QMessageBox box(QMessageBox::Warning, windowTitle(),
                        U(problem) + QString::fromUtf8("\nこのまま保存しますか？"),
                        QMessageBox::NoButton, this);
        QPushButton* back = box.addButton(QString::fromUtf8("戻る"), QMessageBox::RejectRole);
        box.addButton(QString::fromUtf8("このまま保存"), QMessageBox::AcceptRole);
        box.setDefaultButton(back);
        box.exec();
        if (box.clickedButton() == back) return;
    }
    QDialog::accept();
}

void CQuotePageDlg::OnFind() {
    const QString text = m_editFind->text();
    if (text.isEmpty()) return;
    if (!m_txtPage->find(text)) {
        m_txtPage->moveCursor(QTextCursor::Start);
        if (!m_txtPage->find(text)) return;
    }
    // The match in the middle of the view, not on its last line.
    const int lines = m_txtPage->viewport()->height() / m_txtPage->fontMetrics().lineSpacing();
    QScrollBar* bar = m_txtPage->verticalScrollBar();
    bar->setValue(m_txtPage->textCursor().blockNumber() - lines / 2);
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
    const auto [from, to] =
        FigureAt(std::u16string_view(reinterpret_cast<const char16_t*>(line.utf16()),
                                     static_cast<std::size_t>(line.size())),
                 static_cast<std::size_t>(cursor.positionInBlock()));
    if (from >= to || m_pLastValueEdit == nullptr) return;
    m_pLastValueEdit->setText(
        line.mid(static_cast<qsizetype>(from), static_cast<qsizetype>(to - from)));
    // The next figure's field takes the next pick.
    for (const auto* fields : {&m_editValues, &m_editCheckValues}) {
        const auto it = std::find(fields->begin(), fields->end(), m_pLastValueEdit);
        if (it == fields->end() || std::next(it) == fields->end()) continue;
        m_pLastValueEdit = *std::next(it);
        m_pLastValueEdit->setFocus();
        return;
    }
}

void CQuotePageDlg::done(int result) {
    // Whatever is typed; the caller keeps it only after OK.
    m_settings = Edited();
    m_bCancel = true;
    QDialog::done(result);
}

}  // namespace tickora
