#pragma once
// Network texts shown by widgets that would otherwise guess at rich text.

#include <QString>
#include <string_view>

namespace tickora {

// A CP932 text as a tooltip that shows every character literally, line breaks kept.
QString PlainToolTip(std::string_view cp932);

}  // namespace tickora
