#include <QEnterEvent>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QTableView>
#include <tuple>

#include "../app/window_fixture.h"
#include "common/control_ids.h"
#include "ui/index_label.h"
#include "ui/plain_text.h"

namespace tickora::test {
namespace {

// How many pixels of an image lie within a small distance of a colour.
int PixelsNear(const QImage& image, QColor c) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor p = image.pixelColor(x, y);
            const int distance = std::abs(p.red() - c.red()) + std::abs(p.green() - c.green()) +
                                 std::abs(p.blue() - c.blue());
            count += distance < 60;
        }
    return count;
}

// Which colour a change text gets is the colour rules' business; the band paints it on black.
TEST(IndexBand, ChangeTextsPaintTheirColourOnBlackAndNamesStayPlainText) {
    App();
    IndexLabel change(IndexLabel::Role::Change);
    change.resize(80, 20);
    change.SetText(" -123.45 ");
    const QImage image = change.grab().toImage();
    EXPECT_GT(PixelsNear(image, Qt::black), image.width() * image.height() / 2);
    EXPECT_GT(PixelsNear(image, QColor(64, 255, 255)), 0);  // cyan for a fall
    // Texts from the network are never markup, in the band nor in a tooltip.
    IndexLabel name(IndexLabel::Role::Name);
    name.SetText("<b>bold</b>");
    EXPECT_EQ(name.textFormat(), Qt::PlainText);
    EXPECT_EQ(name.text(), "<b>bold</b>");
    const QString tip = PlainToolTip("<img src=x>&\n\r2");
    EXPECT_FALSE(tip.contains("<img"));
    EXPECT_TRUE(tip.contains("&lt;img src=x&gt;&amp;\n2"));
    EXPECT_EQ(PlainToolTip("<img src=x>&\n\r2", true), "<img src=x>&\n2");  // shown as given
}

TEST_F(WindowTest, HomeLinkHoverShadeUnderlineAndHandCursors) {
    WriteIni({});
    CQuoteDlg& dlg = Start();
    QLabel* link = P().HomeLink();
    ASSERT_NE(link, nullptr);
    EXPECT_LE(QFontMetrics(link->font()).height(), 25);
    using Step = std::tuple<QWidget*, int, bool>;  // entered, hover shade, underline
    const Step steps[] = {
        {P().Control(ids::kNikkeiLine), 0, false},  // the hand only
        {P().Control(ids::kStatus), 50, false},    {link, 255, true},
        {P().Control(ids::kTopixLine), 255, true},  // leaves the underline alone
        {P().List()->viewport(), 50, false},        // part of the list control
    };
    for (const auto& [widget, hover, underline] : steps) {
        SCOPED_TRACE(widget->objectName().toStdString());
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QCoreApplication::sendEvent(widget, &enter);
        EXPECT_EQ(P().LinkHover(), hover);
        EXPECT_EQ(link->font().underline(), underline);
        EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(50, 50, hover));
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

    // The index band is black from its left edge to the window's right margin.
    const QImage image = dlg.grab().toImage();
    const QRect band = P().Control(ids::kNikkeiLine)->geometry();
    EXPECT_EQ(image.pixelColor(band.left() + 1, band.bottom() + 3), QColor(Qt::black));
}

}  // namespace
}  // namespace tickora::test
