// The quote-page dialog driven through its controls against the quote host: a page tried,
// rules suggested from figures picked off the fetched copy, a second stock checked, OK putting
// the rules to use and keeping them; the keyboard, the screen, the names a screen reader reads,
// and what OK and the messages say when something is wrong.

#include "quotepage/quote_page_dlg.h"

#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTableWidget>

#include "../app/window_fixture.h"
#include "common/quote.h"
#include "pages.h"
#include "reading/page_rules.h"
#include "watchlist/settings_file.h"

namespace tickora::test {
namespace {

class QuotePageTest : public WindowTest {
  public:
    // Runs the dialog from the settings menu; drive works it. A dialog that drive leaves open,
    // a failed assertion's return among them, is cancelled, so the test ends at once.
    void WithDialog(const std::function<void(CQuotePageDlg&)>& drive) {
        bool driven = false;
        QTimer::singleShot(0, [&] {
            auto* d = qobject_cast<CQuotePageDlg*>(QApplication::activeModalWidget());
            if (d == nullptr) return;
            driven = true;
            drive(*d);
            if (d->isVisible()) d->reject();
        });
        dlg_->OnCommand(ids::kCmdQuotePageSettings);
        EXPECT_TRUE(driven);
    }
    template <class W>
    static W* Get(CQuotePageDlg& d, int id) {
        return d.findChild<W*>(QString::number(id));
    }
    static QString Note(CQuotePageDlg& d, int id) { return Get<QLabel>(d, id)->text(); }
    // Starts a job of the dialog by Enter in a field, or a click, and waits for what it shows.
    static bool Await(CQuotePageDlg& d, void (CQuotePageDlg::*shown)(), QWidget* from) {
        QSignalSpy spy(&d, shown);
        if (auto* button = qobject_cast<QPushButton*>(from))
            button->click();
        else
            QTest::keyClick(from, Qt::Key_Return);
        return spy.wait(15000);
    }
    static void SetText(CQuotePageDlg& d, int id, const std::string& utf8) {
        Get<QLineEdit>(d, id)->setText(QString::fromStdString(utf8));
    }
    // The next box that comes up is answered with the button of that text.
    void AnswerNextBox(const char* button) {
        boxAnswered_ = false;
        QTimer::singleShot(0, [this, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) return;
            for (QAbstractButton* b : box->buttons())
                if (b->text() == QString::fromUtf8(button)) boxAnswered_ = (b->click(), true);
        });
    }
    bool boxAnswered_ = false;
};

TEST_F(QuotePageTest, RulesSuggestedInTheDialogFillEveryRowAndSurviveARestart) {
    Launch(Rows("8058,7203"));
    SelectRow(0);
    const std::string before = dir_.Read("base_data.ini");
    WithDialog([&](CQuotePageDlg& d) {
        EXPECT_EQ(Get<QLineEdit>(d, qp::kTestCode)->text(), "8058");
        SetText(d, qp::kBaseUrl, host_.Url("/v3/table/q?s=銘柄.市場"));
        d.reject();
    });
    EXPECT_EQ(dir_.Read("base_data.ini"), before);  // Cancel keeps nothing
    EXPECT_EQ(Cp932ToUtf8(P().BaseUrl()), host_.Url("/q?s=銘柄.市場"));

    const quotehost::ShownQuote shown = quotehost::TableShown("8058.t", kHostClock);
    WithDialog([&](CQuotePageDlg& d) {
        SetText(d, qp::kBaseUrl, host_.Url("/v3/table/q?s=銘柄.市場"));
        ASSERT_TRUE(Await(d, &CQuotePageDlg::TrialShown, Get<QLineEdit>(d, qp::kTestCode)));
        for (int f = 0; f < kFigureCount; ++f)
            if (f != kPriceFigure) SetText(d, qp::kValueFirst + f, shown.plain[f]);
        // The price is picked off the page by a double click, without its unit.
        auto* page = Get<QPlainTextEdit>(d, qp::kPage);
        Get<QLineEdit>(d, qp::kValueFirst + kPriceFigure)->setFocus();
        ASSERT_TRUE(page->find(QString::fromStdString(shown.withUnits[kPriceFigure])));
        const QRect at = page->cursorRect();
        QTest::mouseDClick(page->viewport(), Qt::LeftButton, {}, at.center() - QPoint(4, 0));
        EXPECT_EQ(Get<QLineEdit>(d, qp::kValueFirst + kPriceFigure)->text().toStdString(),
                  shown.plain[kPriceFigure]);
        // A search brings its match to the middle of the view, not to its last line.
        SetText(d, qp::kFindText, shown.plain[kVolumeFigure]);
        QTest::keyClick(Get<QLineEdit>(d, qp::kFindText), Qt::Key_Return);
        const int middle = page->cursorRect().center().y(), height = page->viewport()->height();
        EXPECT_TRUE(middle > height / 4 && middle < height * 3 / 4) << middle << " of " << height;
        ASSERT_TRUE(Await(d, &CQuotePageDlg::SuggestionShown, Get<QPushButton>(d, qp::kSuggest)));
        EXPECT_FALSE(Get<QLineEdit>(d, qp::kRuleFirst + kPriceFigure)->text().isEmpty())
            << Note(d, qp::kSuggestNote).toStdString();
        // The list shows the price as the page does, its unit with it.
        const std::string price = NormalizeFigure(shown.withUnits[kPriceFigure]);
        EXPECT_EQ(Get<QTableWidget>(d, qp::kResult)->item(kPriceFigure, 0)->text().toStdString(),
                  price);
        SetText(d, qp::kCheckCode, "7203");
        ASSERT_TRUE(Await(d, &CQuotePageDlg::CheckShown, Get<QLineEdit>(d, qp::kCheckCode)));
        EXPECT_TRUE(Note(d, qp::kCheckNote).startsWith(QString::fromUtf8("成り立ちます")))
            << Note(d, qp::kCheckNote).toStdString();
        d.accept();
    });
    // OK starts a pass at once; both rows fill from the new layout, 7203 falling.
    ASSERT_TRUE(WaitForPasses());
    EXPECT_EQ(Cp932ToUtf8(Cell(0, ids::kColPrice)), NormalizeFigure(shown.withUnits[kPriceFigure]));
    EXPECT_EQ(Cell(1, ids::kColMark), FallMark());
    const FigureTexts kept = P().Rules();
    dlg_.reset();  // the end saves
    EXPECT_EQ(LoadSettingsData(SettingsPath(dir_.folder())).page.m_arrRules, kept);
}

TEST_F(QuotePageTest, EveryMessageSaysWhatWentWrongInJapaneseAndOkWarnsFirst) {
    Launch({});
    const ClosedPort closed;
    WithDialog([&](CQuotePageDlg& d) {
        Get<QPushButton>(d, qp::kSuggest)->click();  // before any page
        EXPECT_TRUE(Note(d, qp::kSuggestNote).startsWith(QString::fromUtf8("先に「試す」")));
        SetText(d, qp::kBaseUrl, closed.Url("/q?s=銘柄.市場"));
        SetText(d, qp::kTestCode, "8058");
        ASSERT_TRUE(Await(d, &CQuotePageDlg::TrialShown, Get<QLineEdit>(d, qp::kTestCode)));
        const QString refused = Note(d, qp::kFetchNote);
        EXPECT_TRUE(
            refused.startsWith(QString::fromUtf8("ページを取得できませんでした（接続できません）")))
            << refused.toStdString();
        EXPECT_TRUE(refused.contains(QStringLiteral("curl 7: "))) << refused.toStdString();
        // A page that does not come says so while it waits, and 中止 stops it.
        SetText(d, qp::kBaseUrl, host_.Url("/fault/stall/q?s=銘柄.市場"));
        QSignalSpy stopped(&d, &CQuotePageDlg::TrialShown);
        Get<QPushButton>(d, qp::kTry)->click();
        EXPECT_TRUE(Note(d, qp::kFetchNote).startsWith(QString::fromUtf8("取得中… http")));
        Get<QPushButton>(d, qp::kStop)->click();
        ASSERT_TRUE(stopped.wait(15000));
        EXPECT_TRUE(Note(d, qp::kFetchNote).contains(QString::fromUtf8("中止しました")))
            << Note(d, qp::kFetchNote).toStdString();
        // A BASE_URL without 銘柄 reads the same page for every stock.
        SetText(d, qp::kBaseUrl, host_.Url("/q?s=8058.t"));
        ASSERT_TRUE(Await(d, &CQuotePageDlg::TrialShown, Get<QLineEdit>(d, qp::kTestCode)));
        SetText(d, qp::kCheckCode, "7203");
        ASSERT_TRUE(Await(d, &CQuotePageDlg::CheckShown, Get<QLineEdit>(d, qp::kCheckCode)));
        EXPECT_TRUE(Note(d, qp::kCheckNote).contains(QString::fromUtf8("同じページ")))
            << Note(d, qp::kCheckNote).toStdString();
        // An index is tried on its own page where one is set.
        SetText(d, qp::kIndexUrlFirst + 1, host_.Url("/q?s=998405&own"));
        ASSERT_TRUE(
            Await(d, &CQuotePageDlg::TrialShown, Get<QPushButton>(d, qp::kIndexTryFirst + 1)));
        EXPECT_TRUE(Note(d, qp::kFetchNote)
                        .startsWith(QString::fromStdString(host_.Url("/q?s=998405&own"))))
            << Note(d, qp::kFetchNote).toStdString();
        EXPECT_EQ(Get<QTableWidget>(d, qp::kResult)->item(kNameFigure, 0)->text(), "TOPIX");
        // OK names that, and a rule that does not compile, then returns to the dialog.
        SetText(d, qp::kRuleFirst + kPriceFigure, "//td[[");
        AnswerNextBox("戻る");
        d.accept();
        EXPECT_TRUE(boxAnswered_);
        EXPECT_TRUE(d.isVisible());
        AnswerNextBox("このまま保存");
        d.accept();
        EXPECT_TRUE(boxAnswered_);
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(P().Rules()[kPriceFigure], "//td[[");
    EXPECT_EQ(Cp932ToUtf8(P().BaseUrl()), host_.Url("/q?s=8058.t"));
}

TEST_F(QuotePageTest, TheDialogFitsTheScreenAndEveryControlIsNamedAndReachedByTab) {
    Launch({});
    WithDialog([&](CQuotePageDlg& d) {
        const QRect screen = d.screen()->availableGeometry();
        EXPECT_TRUE(screen.contains(d.frameGeometry())) << screen.width() << "x" << screen.height();
        for (const int id : {qp::kOk, qp::kCancel}) {
            QWidget* button = Get<QWidget>(d, id);
            EXPECT_TRUE(d.rect().contains(QRect(button->mapTo(&d, QPoint()), button->size())));
        }
        // Tab goes through every control once, the result table one stop, and comes round.
        std::vector<QWidget*> reached;
        QApplication::setActiveWindow(&d);
        Get<QWidget>(d, qp::kBaseUrl)->setFocus();
        for (int i = 0; i < 200 && (reached.empty() || QApplication::focusWidget() != reached[0]);
             ++i) {
            reached.push_back(QApplication::focusWidget());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        const auto has = [&](int id) {
            return std::count(reached.begin(), reached.end(), Get<QWidget>(d, id)) == 1;
        };
        for (const int id : {qp::kBaseUrl, qp::kTestCode, qp::kTestMarket, qp::kTry, qp::kResult,
                             qp::kValueFirst + 5, qp::kSuggest, qp::kCheckCode, qp::kCheck,
                             qp::kFindText, qp::kPage, qp::kOk, qp::kCancel})
            EXPECT_TRUE(has(id)) << id;
        Get<QWidget>(d, qp::kOk)->setFocus();
        QTest::keyClick(Get<QWidget>(d, qp::kOk), Qt::Key_Backtab);
        EXPECT_EQ(QApplication::focusWidget(), Get<QWidget>(d, qp::kPage));
        for (QWidget* w : d.findChildren<QWidget*>()) {
            if (w->focusPolicy() == Qt::NoFocus || !w->isVisibleTo(&d)) continue;
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
            EXPECT_FALSE(a->text(QAccessible::Name).isEmpty())
                << w->metaObject()->className() << " " << w->objectName().toStdString();
            // A combo box is heard by its item; what it is for comes from the label naming it.
            if (qobject_cast<QComboBox*>(w)) {
                EXPECT_FALSE(a->relations(QAccessible::Label).isEmpty())
                    << w->objectName().toStdString();
            }
        }
        // A rule's backslash is drawn as one, a thin diagonal, not as the yen sign, whose bars
        // take a row from side to side.
        QImage image(48, 48, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        QFont font = Get<QLineEdit>(d, qp::kRuleFirst)->font();
        font.setPixelSize(32);
        painter.setFont(font);
        painter.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("\\"));
        painter.end();
        int widest = 0, left = image.width(), right = 0;
        for (int y = 0; y < image.height(); ++y) {
            int inked = 0;
            for (int x = 0; x < image.width(); ++x) {
                if (qGray(image.pixel(x, y)) > 128) continue;
                ++inked;
                left = std::min(left, x);
                right = std::max(right, x);
            }
            widest = std::max(widest, inked);
        }
        EXPECT_GT(right, left);
        EXPECT_LT(widest * 2, right - left + 1) << QFontInfo(font).family().toStdString();
    });
}

}  // namespace
}  // namespace tickora::test
