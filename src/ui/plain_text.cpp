#include "ui/plain_text.h"

#include "common/codepage.h"
#include "common/sjis.h"

namespace tickora {

QString Shown(std::string_view cp932) {
    return QString::fromStdString(Cp932ToUtf8(UpToNul(cp932)));
}

std::string Typed(const QString& text) {
    return Utf8ToCp932(text.toStdString());
}

QString PlainToolTip(std::string_view cp932, bool forStatusNotifier) {
    QString text = Shown(cp932);
    text.remove(QLatin1Char('\r'));
    if (forStatusNotifier) return text;
    // Escaped inside a pre-formatted paragraph: markup in the text is shown, not obeyed.
    return QStringLiteral("<p style='white-space:pre'>") + text.toHtmlEscaped() +
           QStringLiteral("</p>");
}

}  // namespace tickora
