#include <QEnterEvent>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QTableView>
#include <tuple>

#include "../app/window_fixture.h"
#include "common/control_ids.h"
#include "common/sjis.h"
#include "ui/index_label.h"
#include "ui/plain_text.h"

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

// The band paints what the colour rule decides, on black.
TEST(IndexBand, ChangeTextsPaintTheirColourOnBlack) {
    App();
    const QColor cyan(64, 255, 255), red(255, 64, 64);
    for (const auto& [text, colour, other] :
         {std::tuple{" -123.45 ", cyan, red}, std::tuple{" +12 ", red, cyan}}) {
        SCOPED_TRACE(text);
        IndexLabel label(IndexLabel::Role::Change);
        label.resize(80, 20);
        label.SetText(text);
        const QImage image = label.grab().toImage();
        EXPECT_GT(PixelsNear(image, Qt::black), image.width() * image.height() / 2);
        EXPECT_GT(PixelsNear(image, colour), 0);
        EXPECT_EQ(PixelsNear(image, other), 0);
    }
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

TEST_F(WindowTest, HomeLinkHoverShadeUnderlineAndHandCursors) {
    WriteIni({});
    CQuoteDlg& dlg = Start();
    QLabel* link = P().HomeLink();
    ASSERT_NE(link, nullptr);
    EXPECT_LE(QFontMetrics(link->font()).height(), 25);
    auto linkColour = [&] { return link->palette().color(QPalette::WindowText); };
    EXPECT_EQ(P().LinkHover(), 0);
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
        {P().Control(ids::kNikkeiLine), 0, false},  // the hand only
        {P().Control(ids::kStatus), 50, false},
        {link, 255, true},
        {P().Control(ids::kTopixLine), 255, true},  // leaves the underline alone
        {P().List()->viewport(), 50, false},        // part of the list control
        {link, 255, true},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.widget->objectName().toStdString());
        enter(s.widget);
        EXPECT_EQ(P().LinkHover(), s.hover);
        EXPECT_EQ(link->font().underline(), s.underline);
        EXPECT_EQ(linkColour(), QColor(50, 50, s.hover));
    }
    // Moving over the window's own surface counts as elsewhere.
    QMouseEvent move(QEvent::MouseMove, QPointF(2, 100), QPointF(2, 100), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&dlg, &move);
    EXPECT_EQ(P().LinkHover(), 50);

    for (const int id : {ids::kHomeLink, ids::kNikkeiLine, ids::kTopixLine, ids::kJasdaqLine}) {
        const QCursor cursor = P().Control(id)->cursor();
        EXPECT_EQ(cursor.hotSpot(), QPoint(12, 1)) << id;
        EXPECT_EQ(cursor.pixmap().size(), QSize(32, 32)) << id;
    }
    EXPECT_NE(P().Control(ids::kNikkeiChange)->cursor().shape(), Qt::BitmapCursor);
}

// A picture of the window for a person to compare with the layout table; written when
// TICKORA_GRAB_DIR names a folder.
TEST_F(WindowTest, GrabTheFilledWindow) {
    WriteIni({{"8058", "東証"}, {"7203", "東証"}, {"6501", "大証"}}, 0, 0);
    CQuoteDlg& dlg = Start();
    ASSERT_TRUE(WaitForPasses());
    const QImage image = dlg.grab().toImage();
    EXPECT_EQ(image.size(), dlg.size() * dlg.devicePixelRatio());
    // The index band is black from its left edge to the window's right margin.
    const QRect band = P().Control(ids::kNikkeiLine)->geometry();
    EXPECT_EQ(image.pixelColor(band.left() + 1, band.bottom() + 3), QColor(Qt::black));
    if (const char* folder = std::getenv("TICKORA_GRAB_DIR"))
        image.save(QString::fromLocal8Bit(folder) + "/main-window.png");
}

}  // namespace
}  // namespace tickora::test
