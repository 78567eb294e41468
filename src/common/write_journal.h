#pragma once
// A rollback journal for files rewritten in place: before the first byte of a file changes,
// a copy of its old bytes is made durable in the user's state folder; it goes once the new
// text is on disk. A journal found later means a write was cut short: the file gets its old
// text back (or keeps the new one, when that was complete), so a crash at any point leaves
// one complete file or the other.

#include <string>
#include <string_view>

namespace tickora {

// $XDG_STATE_HOME/tickora, or ~/.local/state/tickora; empty when neither can be named.
std::string JournalFolder();

// Keeps the old bytes of target and a fingerprint of the new ones; false, with the reason,
// when they could not be made durable (the file must then not be touched).
bool KeepJournal(const std::string& target, std::string_view oldBytes, std::string_view newBytes,
                 std::string* why);
void DropJournal(const std::string& target);

// Undoes an interrupted in-place write of target, if a journal of one is there.
void RecoverInterruptedWrite(const std::string& target);

}  // namespace tickora
