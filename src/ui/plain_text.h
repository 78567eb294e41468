#pragma once
// Network texts shown by widgets that would otherwise guess at rich text.

#include <QString>
#include <string_view>

namespace tickora {

// A CP932 text as a tooltip that shows every character literally, line breaks kept. A
// status-notifier host shows the text as it is given, so it gets the plain lines; the
// toolkit's own tooltip would read markup in them, so it gets them escaped.
QString PlainToolTip(std::string_view cp932, bool forStatusNotifier = false);

}  // namespace tickora
