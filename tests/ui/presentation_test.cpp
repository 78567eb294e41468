#include <QEnterEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPixmap>
#include <cmath>
#include <tuple>

#include "../app/window_fixture.h"
#include "ui/dialog_units.h"
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

TEST(DialogUnits, ConvertWithTheFontsBaseUnitsRoundingHalfAwayFromZero) {
    const struct {
        BaseUnits units;
        QRect du, px;
    } cases[] = {
        // 6x12: the classic base units of a 9 pt Japanese dialog font.
        {{6, 12}, {5, 25, 32, 13}, {8, 38, 48, 20}},      // 7.5, 37.5 and 19.5 round up
        {{7, 13}, {5, 40, 339, 146}, {9, 65, 593, 237}},  // 8.75 up; 593.25, 237.25 down
        {{6, 12}, {-1, -3, 0, 0}, {-2, -5, 0, 0}},        // -1.5 and -4.5 away from 0
    };
    for (const auto& c : cases) EXPECT_EQ(DuToPx(c.du, c.units), c.px) << "case " << &c - cases;
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

// WCAG's contrast ratio of two colours.
double Contrast(QColor a, QColor b) {
    const auto luminance = [](QColor c) {
        const auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The rise and fall colours and the home-page text were chosen for a light window: on a dark
// desktop scheme the window keeps the light colours they need.
TEST_F(WindowTest, ColouredTextsStayReadableOnADarkDesktopAndTheHomeLinkShowsItsHover) {
    const QPalette desktop = QApplication::palette();
    QPalette dark(QColor(230, 230, 230), QColor(40, 40, 40));
    dark.setColor(QPalette::Base, QColor(25, 25, 25));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    QApplication::setPalette(dark);
    CQuoteDlg& dlg = Launch({});
    const QColor list = List()->palette().color(QPalette::Base);
    const QColor face = dlg.palette().color(QPalette::Window);
    const std::pair<QColor, QColor> texts[] = {
        {QColor(255, 20, 20), list},  // a rise in the list
        {QColor(20, 20, 255), list},  // a fall
        {List()->palette().color(QPalette::Text), list},
        {Control(ids::kHomeLink)->palette().color(QPalette::WindowText), face},
        {dlg.palette().color(QPalette::WindowText), face},
    };
    for (const auto& [text, background] : texts)
        EXPECT_GE(Contrast(text, background), 3.0)
            << text.name().toStdString() << " on " << background.name().toStdString();
    QApplication::setPalette(desktop);

    QLabel* link = static_cast<QLabel*>(Control(ids::kHomeLink));
    EXPECT_LE(QFontMetrics(link->font()).height(), 25);
    using Step = std::tuple<QWidget*, int, bool>;  // entered, hover shade, underline
    const Step steps[] = {
        {Control(ids::kNikkeiLine), 0, false},  // the hand only
        {Control(ids::kStatus), 50, false},    {link, 255, true},
        {Control(ids::kTopixLine), 255, true},  // leaves the underline alone
        {List()->viewport(), 50, false},        // part of the list control
    };
    for (const auto& [widget, hover, underline] : steps) {
        SCOPED_TRACE(widget->objectName().toStdString());
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QCoreApplication::sendEvent(widget, &enter);
        EXPECT_EQ(link->font().underline(), underline);
        EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(50, 50, hover));
    }
    // Moving over the window's own surface counts as elsewhere.
    QMouseEvent move(QEvent::MouseMove, QPointF(2, 100), QPointF(2, 100), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&dlg, &move);
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(50, 50, 50));
    for (const int id : {ids::kHomeLink, ids::kNikkeiLine, ids::kTopixLine, ids::kJasdaqLine}) {
        const QCursor cursor = Control(id)->cursor();
        EXPECT_EQ(cursor.hotSpot(), QPoint(12, 1)) << id;
        EXPECT_EQ(cursor.pixmap().size(), QSize(32, 32)) << id;
    }
    EXPECT_NE(Control(ids::kNikkeiChange)->cursor().shape(), Qt::BitmapCursor);

    // The index band is black from its left edge to the window's right margin.
    const QImage image = dlg.grab().toImage();
    const QRect band = Control(ids::kNikkeiLine)->geometry();
    EXPECT_EQ(image.pixelColor(band.left() + 1, band.bottom() + 3), QColor(Qt::black));
}

}  // namespace
}  // namespace tickora::test
