#include <QEnterEvent>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QTableView>

#include "common/control_ids.h"
#include "common/sjis.h"
#include "ui/index_label.h"
#include "ui/plain_text.h"
#include "../app/window_fixture.h"

namespace tickora::test {
namespace {

// How many pixels of an image lie within a small distance of a colour.
int PixelsNear(const QImage& image, QColor colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor p = image.pixelColor(x, y);
            if (std::abs(p.red() - colour.red()) + std::abs(p.green() - colour.green()) +
                    std::abs(p.blue() - colour.blue()) <
                60)
                ++count;
        }
    return count;
}

TEST(IndexBand, ChangeTextsPaintCyanRedOrWhiteOnBlack) {
    App();
    const QColor cyan(64, 255, 255), red(255, 64, 64), white(255, 255, 255);
    struct Case {
        const char* text;
        QColor expected;
    };
    const Case cases[] = {
        {" -123.45 ", cyan}, {" +12 ", red}, {" 0 ", white}, {" +1-2 ", cyan}, {"8888", white},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        IndexLabel label(IndexLabel::Role::Change);
        label.setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label.resize(80, 20);
        label.SetText(c.text);
        EXPECT_EQ(label.TextColour(), c.expected);
        const QImage image = label.grab().toImage();
        EXPECT_GT(PixelsNear(image, Qt::black), image.width() * image.height() / 2);
        EXPECT_GT(PixelsNear(image, c.expected), 0);
        for (const QColor& other : {cyan, red, white})
            if (other != c.expected) {
                EXPECT_EQ(PixelsNear(image, other), 0);
            }
    }
    // The colour follows the text written last.
    IndexLabel label(IndexLabel::Role::Change);
    label.SetText(" +1 ");
    label.SetText(" -1 ");
    EXPECT_EQ(label.TextColour(), cyan);
    IndexLabel name(IndexLabel::Role::Name);
    name.SetText(" -1 ");
    EXPECT_EQ(name.TextColour(), white);
}

TEST(IndexBand, NetworkTextIsShownAsPlainText) {
    App();
    IndexLabel label(IndexLabel::Role::Name);
    label.SetText("<b>bold</b>");
    EXPECT_EQ(label.textFormat(), Qt::PlainText);
    EXPECT_EQ(label.text(), "<b>bold</b>");
    const QString tip = PlainToolTip("<img src=x>&\n\r2");
    EXPECT_FALSE(tip.contains("<img"));
    EXPECT_TRUE(tip.contains("&lt;img src=x&gt;&amp;\n2"));
}

class PresentationTest : public WindowTest {};

TEST_F(PresentationTest, ListCellColoursCarryOverWithinARow) {
    WriteIni({{"8058", "東証"}});
    CQuoteDlg& dlg = Start();
    ASSERT_TRUE(WaitForPasses());
    const QColor up(255, 20, 20), down(20, 20, 255);
    const QColor none;
    struct Case {
        const char* change;
        const char* ratio;
        const char* mark;
        QColor col5, col6, col8;
    };
    const Case cases[] = {
        {"+10", "+1.0%", "△ ", up, up, up},
        {"-10", "-1.0%", "▼ ", down, down, down},
        {"0", "0.00%", "－ ", none, none, none},
        {"+10", "0.00%", "－ ", up, up, none},  // the ratio takes the change's colour
        {"-10", "+1.0%", "△", down, up, none},  // "△" without its blank is no mark
    };
    WatchListModel& model = *dlg.m_pModel;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.change);
        model.SetCell(0, ids::kColChange, c.change);
        model.SetCell(0, ids::kColRatio, c.ratio);
        model.SetCell(0, ids::kColMark, Sj(c.mark));
        auto colour = [&](int col) {
            const QVariant v = model.index(0, col).data(Qt::ForegroundRole);
            return v.isValid() ? v.value<QColor>() : QColor();
        };
        for (int col = 0; col < 5; ++col) EXPECT_EQ(colour(col), none) << col;
        EXPECT_EQ(colour(5), c.col5);
        EXPECT_EQ(colour(6), c.col6);
        EXPECT_EQ(colour(7), none);
        EXPECT_EQ(colour(8), c.col8);
    }
}

TEST_F(PresentationTest, HomeLinkHoverShadeUnderlineAndHandCursors) {
    WriteIni({});
    CQuoteDlg& dlg = Start();
    QLabel* link = dlg.m_stcLink;
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->text(), "TICKORA");
    EXPECT_EQ(link->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(link->font().weight(), QFont::Black);
    EXPECT_LE(QFontMetrics(link->font()).height(), 25);
    EXPECT_GE(QFontMetrics(link->font()).height(), 20);
    auto linkColour = [&] { return link->palette().color(QPalette::WindowText); };
    EXPECT_EQ(dlg.m_nLinkHover, 0);
    EXPECT_EQ(linkColour(), QColor(50, 50, 0));
    EXPECT_FALSE(link->font().underline());

    auto enter = [&](QWidget* widget) {
        QEnterEvent event(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QCoreApplication::sendEvent(widget, &event);
    };
    struct Step {
        QWidget* widget;
        int hover;
        bool underline;
    };
    const Step steps[] = {
        {dlg.Control(ids::kNikkeiLine), 0, false},   // the hand only
        {dlg.Control(ids::kStatus), 50, false},
        {link, 255, true},
        {dlg.Control(ids::kTopixLine), 255, true},   // leaves the underline alone
        {dlg.m_pList->viewport(), 50, false},        // part of the list control
        {link, 255, true},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.widget->objectName().toStdString());
        enter(s.widget);
        EXPECT_EQ(dlg.m_nLinkHover, s.hover);
        EXPECT_EQ(link->font().underline(), s.underline);
        EXPECT_EQ(linkColour(), QColor(50, 50, s.hover));
    }
    // Moving over the window's own surface counts as elsewhere.
    QMouseEvent move(QEvent::MouseMove, QPointF(2, 100), QPointF(2, 100), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&dlg, &move);
    EXPECT_EQ(dlg.m_nLinkHover, 50);

    for (const int id : {ids::kHomeLink, ids::kNikkeiLine, ids::kTopixLine, ids::kJasdaqLine}) {
        const QCursor cursor = dlg.Control(id)->cursor();
        EXPECT_EQ(cursor.hotSpot(), QPoint(12, 1)) << id;
        EXPECT_EQ(cursor.pixmap().size(), QSize(32, 32)) << id;
    }
    EXPECT_NE(dlg.Control(ids::kNikkeiChange)->cursor().shape(), Qt::BitmapCursor);
}

// A picture of the window for a person to compare with the layout table; written when
// TICKORA_GRAB_DIR names a folder.
TEST_F(PresentationTest, GrabTheFilledWindow) {
    WriteIni({{"8058", "東証"}, {"7203", "東証"}, {"6501", "大証"}}, 0, 0);
    CQuoteDlg& dlg = Start();
    ASSERT_TRUE(WaitForPasses());
    const QImage image = dlg.grab().toImage();
    EXPECT_EQ(image.size(), dlg.size() * dlg.devicePixelRatio());
    // The index band is black from its left edge to the window's right margin.
    const QRect band = dlg.Control(ids::kNikkeiLine)->geometry();
    EXPECT_EQ(image.pixelColor(band.left() + 1, band.bottom() + 3), QColor(Qt::black));
    if (const char* folder = std::getenv("TICKORA_GRAB_DIR"))
        image.save(QString::fromLocal8Bit(folder) + "/main-window.png");
}

}  // namespace
}  // namespace tickora::test
