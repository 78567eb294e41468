#include "ui/list_cell_delegate.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace tickora {

namespace {

// Every character a price, change, ratio, volume or time is written with.
constexpr std::string_view kFigureCharacters = "0123456789+-.,%:/ ";

}  // namespace

const ListCellDelegate::FigureGlyphs& ListCellDelegate::FiguresOf(const QFont& font) const {
    if (figures_ && figures_->font == font) return *figures_;
    FigureGlyphs f;
    f.font = font;
    f.raw = QRawFont::fromFont(font);
    const QFontMetricsF metrics(font);
    f.ascent = metrics.ascent();
    f.usable = f.raw.isValid();
    // Every ordered pair of the characters stands side by side once in this line: the
    // characters' Lyndon words of one and two, in order, closed by the first character.
    QString pairs;
    for (std::size_t i = 0; i < kFigureCharacters.size(); ++i) {
        const QChar ch(kFigureCharacters[i]);
        const QList<quint32> glyphs = f.raw.glyphIndexesForString(QString(ch));
        const auto u = static_cast<std::size_t>(kFigureCharacters[i]);
        f.glyph[u] = glyphs.size() == 1 ? glyphs[0] : 0;
        f.advance[u] = metrics.horizontalAdvance(ch);
        f.usable = f.usable && f.glyph[u] != 0;
        pairs += ch;
        for (std::size_t j = i + 1; j < kFigureCharacters.size(); ++j)
            pairs += QString(ch) + QChar(kFigureCharacters[j]);
    }
    pairs += QChar(kFigureCharacters[0]);
    // Side by side is what shaping gives only if no pair is kerned: every pair, shaped once
    // in that line, stands where the single advances put it.
    QTextLayout layout(pairs, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    qsizetype at = 0;
    qreal x = 0;
    for (const QGlyphRun& run : layout.glyphRuns())
        for (const QPointF& p : run.positions()) {
            f.usable = f.usable && at < pairs.size() && p.x() == x;
            if (at < pairs.size()) x += f.advance[pairs[at++].unicode()];
        }
    f.usable = f.usable && at == pairs.size();
    // The height of a laid-out line, as a shaped text reports it.
    QStaticText line(QStringLiteral("0"));
    line.prepare(QTransform(), font);
    f.height = line.size().height();
    figures_ = std::move(f);
    return *figures_;
}

std::optional<QGlyphRun> ListCellDelegate::FigureRun(const QString& text, const QFont& font,
                                                     QSizeF& size) const {
    if (text.isEmpty()) return std::nullopt;
    for (const QChar c : text)
        if (c.unicode() >= 128 ||
            kFigureCharacters.find(static_cast<char>(c.unicode())) == std::string_view::npos)
            return std::nullopt;
    const FigureGlyphs& f = FiguresOf(font);
    if (!f.usable) return std::nullopt;
    QList<quint32> glyphs;
    QList<QPointF> positions;
    glyphs.reserve(text.size());
    positions.reserve(text.size());
    qreal x = 0;
    for (const QChar c : text) {
        glyphs.append(f.glyph[c.unicode()]);
        positions.append(QPointF(x, f.ascent));
        x += f.advance[c.unicode()];
    }
    QGlyphRun run;
    run.setRawFont(f.raw);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    size = QSizeF(x, f.height);
    return run;
}

void ListCellDelegate::PaintPanel(QPainter* painter, const QStyleOptionViewItem& opt) const {
    const QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
    // The item panel of Fusion and of the styles it comes from is the cell's background brush
    // unless the cell is selected; asking the style for it costs more than painting the text.
    const bool plainPanel =
        !(opt.state & QStyle::State_Selected) &&
        (style->name() == QLatin1String("fusion") || style->name() == QLatin1String("windows"));
    if (!plainPanel) {
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, opt.widget);
    } else if (opt.backgroundBrush.style() != Qt::NoBrush) {
        const QPointF origin = painter->brushOrigin();
        painter->setBrushOrigin(opt.rect.topLeft());
        painter->fillRect(opt.rect, opt.backgroundBrush);
        painter->setBrushOrigin(origin);
    }
}

QFont ListCellDelegate::FontFor(const QString& text, const QFont& font, qreal width) {
    const qreal wide = QFontMetricsF(font).horizontalAdvance(text);
    const bool figure = std::any_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
    if (wide <= width || !figure || wide * kMinFigureScale > width) return font;
    // Point sizes in quarter steps, from the one that should fit down to the least.
    QFont smaller = font;
    const qreal least = font.pointSizeF() * kMinFigureScale;
    for (qreal size = std::floor(font.pointSizeF() * width / wide * 4) / 4; size >= least;
         size -= 0.25) {
        smaller.setPointSizeF(size);
        if (QFontMetricsF(smaller).horizontalAdvance(text) <= width) return smaller;
    }
    return font;
}

int ListCellDelegate::TextWidth(int columnWidth, const QWidget* widget) {
    const QStyle* style = widget ? widget->style() : QApplication::style();
    return columnWidth -
           2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1);
}

const ListCellDelegate::ShapedText& ListCellDelegate::Shaped(QPainter* painter,
                                                             const QStyleOptionViewItem& opt,
                                                             const QRect& rect) const {
    const QString key = opt.text + QChar(0) + QString::number(rect.width());
    auto it = shaped_.constFind(key);
    if (it != shaped_.constEnd()) return *it;
    if (shaped_.size() > 1024) shaped_.clear();
    const auto shape = [&](const QString& shown, const QFont& font) {
        QStaticText text(shown);
        text.setTextFormat(Qt::PlainText);
        text.setTextOption(QTextOption(opt.displayAlignment));
        text.prepare(painter->transform(), font);
        return ShapedText{text, font};
    };
    ShapedText text = shape(opt.text, opt.font);
    if (text.text.size().width() > rect.width()) {
        const QFont fitted = FontFor(opt.text, opt.font, rect.width());
        text = fitted != opt.font
                   ? shape(opt.text, fitted)
                   : shape(opt.fontMetrics.elidedText(opt.text, opt.textElideMode, rect.width()),
                           opt.font);
    }
    return *shaped_.insert(key, text);
}

void ListCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    // Anything but plain text (a focus frame, an icon, a check) goes to the style.
    if (opt.features & ~QStyleOptionViewItem::HasDisplay || opt.state & QStyle::State_HasFocus) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    PaintPanel(painter, opt);
    const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : opt.state & QStyle::State_Active   ? QPalette::Active
                                                                            : QPalette::Inactive;
    // A cell with text alone has all of its rect for the text.
    const int margin = (opt.rect.width() - TextWidth(opt.rect.width(), opt.widget)) / 2;
    const QRect rect = opt.rect.adjusted(margin, 0, -margin, 0);
    painter->save();
    painter->setFont(opt.font);
    painter->setPen(opt.palette.color(
        group, opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
    const auto at = [&](QSizeF size) {
        return QStyle::alignedRect(opt.direction, opt.displayAlignment, size.toSize(), rect)
            .topLeft();
    };
    QSizeF size;
    // Glyphs placed with a scaling transform would not be the shaped ones.
    const std::optional<QGlyphRun> figures =
        painter->deviceTransform().type() <= QTransform::TxTranslate
            ? FigureRun(opt.text, opt.font, size)
            : std::nullopt;
    if (figures && size.width() <= rect.width()) {
        painter->drawGlyphRun(at(size), *figures);
    } else {
        const ShapedText& text = Shaped(painter, opt, rect);
        painter->setFont(text.font);
        painter->drawStaticText(at(text.text.size()), text.text);
    }
    painter->restore();
}

}  // namespace tickora
