// The quote-page dialog driven through its controls against the quote host: a page tried,
// rules suggested from figures picked off the fetched copy, a second stock checked, OK putting
// the rules to use and keeping them, Cancel changing nothing, and a page that cannot be had.

#include "quotepage/quote_page_dlg.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTextBlock>

#include "../app/window_fixture.h"
#include "reading/extract.h"
#include "watchlist/settings_file.h"

namespace tickora::test {
namespace {

class QuotePageTest : public WindowTest {
  public:
    // Runs the dialog from the settings menu; drive works it and ends it.
    void WithDialog(const std::function<void(CQuotePageDlg&)>& drive) {
        bool driven = false;
        QTimer::singleShot(0, [&] {
            if (auto* d = qobject_cast<CQuotePageDlg*>(QApplication::activeModalWidget())) {
                driven = true;
                drive(*d);
            }
        });
        dlg_->OnCommand(ids::kCmdQuotePageSettings);
        EXPECT_TRUE(driven);
    }
    template <class W>
    static W* Get(CQuotePageDlg& d, int id) {
        return d.findChild<W*>(QString::number(id));
    }
    // Runs a fetch of the dialog and waits for what it shows.
    static bool Await(CQuotePageDlg& d, void (CQuotePageDlg::*shown)(), QWidget* code) {
        QSignalSpy spy(&d, shown);
        QTest::keyClick(code, Qt::Key_Return);
        return spy.wait(15000);
    }
};

TEST_F(QuotePageTest, RulesSuggestedInTheDialogFillEveryRowAndSurviveARestart) {
    Launch(Rows("8058,7203"));
    SelectRow(0);
    const std::string before = dir_.Read("base_data.ini");
    WithDialog([&](CQuotePageDlg& d) {
        EXPECT_EQ(Get<QLineEdit>(d, qp::kTestCode)->text(), "8058");
        Get<QLineEdit>(d, qp::kBaseUrl)
            ->setText(QString::fromStdString(host_.Url("/v3/table/q?s=銘柄.市場")));
        d.reject();
    });
    EXPECT_EQ(dir_.Read("base_data.ini"), before);  // Cancel keeps nothing
    EXPECT_EQ(Cp932ToUtf8(P().BaseUrl()), host_.Url("/q?s=銘柄.市場"));

    WithDialog([&](CQuotePageDlg& d) {
        Get<QLineEdit>(d, qp::kBaseUrl)
            ->setText(QString::fromStdString(host_.Url("/v3/table/q?s=銘柄.市場")));
        ASSERT_TRUE(Await(d, &CQuotePageDlg::TrialShown, Get<QLineEdit>(d, qp::kTestCode)));
        // The figures as the fetched copy shows them: the board's lines after its name.
        const QStringList lines = Get<QPlainTextEdit>(d, qp::kPage)->toPlainText().split('\n');
        qsizetype price = 0;  // the board's price label: its figure comes with 円
        while (price + 1 < lines.size() && !(lines[price] == QString::fromUtf8("現在値") &&
                                             lines[price + 1].endsWith(QString::fromUtf8("円"))))
            ++price;
        ASSERT_GT(price, 3);
        const QString values[6] = {lines[price - 3], lines[price + 11], QString(),
                                   lines[price + 3], lines[price + 5],  lines[price + 8]};
        for (int f = 0; f < 6; ++f)
            if (f != kPriceFigure) Get<QLineEdit>(d, qp::kValueFirst + f)->setText(values[f]);
        // The price is picked off the page by a double click, without its unit.
        auto* page = Get<QPlainTextEdit>(d, qp::kPage);
        Get<QLineEdit>(d, qp::kValueFirst + kPriceFigure)->setFocus();
        const QTextCursor at(page->document()->findBlockByNumber(static_cast<int>(price + 1)));
        page->setTextCursor(at);
        page->ensureCursorVisible();
        QTest::mouseDClick(page->viewport(), Qt::LeftButton, {},
                           page->cursorRect(at).center() + QPoint(2, 0));
        const QString picked = Get<QLineEdit>(d, qp::kValueFirst + kPriceFigure)->text();
        EXPECT_EQ(picked + QString::fromUtf8("円"), lines[price + 1]);
        Get<QPushButton>(d, qp::kSuggest)->click();
        EXPECT_FALSE(Get<QLineEdit>(d, qp::kRuleFirst + kPriceFigure)->text().isEmpty())
            << Get<QLabel>(d, qp::kSuggestNote)->text().toStdString();
        EXPECT_EQ(Get<QTableWidget>(d, qp::kResult)->item(kPriceFigure, 0)->text(), picked);
        Get<QLineEdit>(d, qp::kCheckCode)->setText("7203");
        ASSERT_TRUE(Await(d, &CQuotePageDlg::CheckShown, Get<QLineEdit>(d, qp::kCheckCode)));
        EXPECT_TRUE(
            Get<QLabel>(d, qp::kCheckNote)->text().startsWith(QString::fromUtf8("成り立ちます")))
            << Get<QLabel>(d, qp::kCheckNote)->text().toStdString();
        d.accept();
    });
    // OK starts a pass at once; both rows fill from the new layout, 7203 falling.
    ASSERT_TRUE(WaitForPasses());
    EXPECT_FALSE(Cell(0, ids::kColPrice).empty());
    EXPECT_EQ(Cell(1, ids::kColMark), FallMark());
    const FigureTexts kept = P().Rules();
    dlg_.reset();  // the end saves
    EXPECT_EQ(LoadSettingsData(SettingsPath(dir_.folder())).page.m_arrRules, kept);
}

TEST_F(QuotePageTest, APageThatCannotBeHadSaysWhyInTheProgramsOwnWords) {
    Launch({});
    const ClosedPort closed;
    WithDialog([&](CQuotePageDlg& d) {
        Get<QLineEdit>(d, qp::kBaseUrl)
            ->setText(QString::fromStdString(closed.Url("/q?s=銘柄.市場")));
        Get<QLineEdit>(d, qp::kTestCode)->setText("8058");
        ASSERT_TRUE(Await(d, &CQuotePageDlg::TrialShown, Get<QLineEdit>(d, qp::kTestCode)));
        EXPECT_TRUE(Get<QLabel>(d, qp::kFetchNote)
                        ->text()
                        .startsWith(QString::fromUtf8("例外が発生しました。")));
        Get<QPushButton>(d, qp::kSuggest)->click();
        EXPECT_FALSE(Get<QLabel>(d, qp::kSuggestNote)->text().isEmpty());
        QTest::keyClick(&d, Qt::Key_Escape);
    });
}

}  // namespace
}  // namespace tickora::test
