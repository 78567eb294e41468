#pragma once
// The one boundary between the program's CP932 texts and the toolkit's: texts as widgets show
// them, what the user types, and network texts shown by widgets that would otherwise guess at
// rich text.

#include <QString>
#include <string>
#include <string_view>

namespace tickora {

// A CP932 text as a widget shows it: up to its first zero byte, as a C string ends.
QString Shown(std::string_view cp932);
// What the user typed, as CP932.
std::string Typed(const QString& text);

// A CP932 text as a tooltip that shows every character literally, line breaks kept. A
// status-notifier host shows the text as it is given, so it gets the plain lines; the
// toolkit's own tooltip would read markup in them, so it gets them escaped.
QString PlainToolTip(std::string_view cp932, bool forStatusNotifier = false);

}  // namespace tickora
