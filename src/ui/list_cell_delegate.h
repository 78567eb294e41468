#pragma once
// Paints the watch list's cells as the style paints a plain text cell (selection, colour,
// eliding, margins), without the style's general item layout, which shapes every text three
// times. A text of digits and signs (a price, a change, a time) is laid out from glyphs kept
// per font, with no shaping at all; any other text is shaped once and kept while it is shown.
// A figure too wide for its column is drawn a little smaller rather than cut: today's pages
// give decimals and five-digit prices, and the columns keep their widths.

#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QRawFont>
#include <QStaticText>
#include <QStyledItemDelegate>
#include <array>
#include <optional>

namespace tickora {

class ListCellDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

    // The least a figure is drawn at, of the cell's font size.
    static constexpr qreal kMinFigureScale = 0.7;
    // The font text is drawn in within width: the cell's font, or for a figure (a text with a
    // digit) that would not fit a smaller size of it, down to kMinFigureScale; the cell's font
    // again when even that does not fit, and the text is elided.
    static QFont FontFor(const QString& text, const QFont& font, qreal width);
    // The width of a cell's text area of a column width, as the cells are painted.
    static int TextWidth(int columnWidth, const QWidget* widget);

  private:
    // The glyph and advance of each character of a figure in one font, usable only when the
    // font has every one of them and kerns no pair of them, so that laying them side by side
    // gives what shaping gives.
    struct FigureGlyphs {
        QFont font;
        QRawFont raw;
        std::array<quint32, 128> glyph{};  // 0: not a figure character
        std::array<qreal, 128> advance{};
        qreal ascent = 0;
        qreal height = 0;
        bool usable = false;
    };
    const FigureGlyphs& FiguresOf(const QFont& font) const;
    // The text as glyphs of its font, or nothing when it holds anything but figures.
    std::optional<QGlyphRun> FigureRun(const QString& text, const QFont& font, QSizeF& size) const;

    // The cell's background, as the style paints it.
    void PaintPanel(QPainter* painter, const QStyleOptionViewItem& opt) const;
    // A cell's text shaped to fit rect, in the font it was shaped for.
    struct ShapedText {
        QStaticText text;
        QFont font;
    };
    // The cell's text shaped, smaller or elided to fit rect, and kept.
    const ShapedText& Shaped(QPainter* painter, const QStyleOptionViewItem& opt,
                             const QRect& rect) const;

    // The shaped text of a cell by its text and width; cleared when it grows past the texts a
    // full list can show.
    mutable QHash<QString, ShapedText> shaped_;
    mutable std::optional<FigureGlyphs> figures_;
};

}  // namespace tickora
