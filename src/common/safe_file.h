#pragma once
// Reading and replacing the files beside the program without ever destroying what is there:
// only regular files are opened, never blocking on a FIFO or a device; a file that could
// not be read, a read-only file and anything that is not a regular file are left alone; a
// symbolic link is written through to its target; a crash mid-write leaves the old file.

#include <optional>
#include <string>
#include <string_view>

namespace tickora {

enum class ReadStatus {
    Ok,
    Missing,     // nothing there: the caller's defaults stand and a new file may be written
    Unreadable,  // there but not readable (permissions, a read error): never to be replaced
    NotRegular,  // a folder, FIFO, device or socket: never to be replaced
};

struct FileRead {
    ReadStatus status = ReadStatus::Missing;
    std::string bytes;
    std::string why;  // for a status other than Ok and Missing
};

// Reads from fd to its end into bytes, going on after an interruption; false on an error.
bool ReadAll(int fd, std::string& bytes);

// Writes all of bytes at offset at, going on after an interruption; false on an error.
bool WriteAllAt(int fd, std::string_view bytes, long long at = 0);

// Reads a file whole; a write of it that was cut short is undone first (write_journal.h).
FileRead ReadWholeFile(const std::string& path);

// A replacement of one file, written to a temporary file in the target's folder and renamed
// over the target on Commit. When that folder refuses a temporary file but the target
// itself is writable, or the target has other hard links that must see the new text, it is
// written in place instead (ReplaceInPlace).
class FileReplacement {
  public:
    // Nullopt, with the reason in why, when the file must not or cannot be written.
    static std::optional<FileReplacement> Begin(const std::string& path, std::string* why);

    FileReplacement(FileReplacement&& other) noexcept;
    FileReplacement& operator=(FileReplacement&&) = delete;
    ~FileReplacement();  // without Commit, the old file stays as it was

    bool Write(std::string_view bytes);
    // Flushed to disk and put in place; false, with the reason, when any step failed (the old
    // file then stays as it was).
    bool Commit(std::string* why = nullptr);

  private:
    FileReplacement(int fd, std::string target, std::string temp)
        : fd_(fd), target_(std::move(target)), temp_(std::move(temp)) {}
    void Discard();

    int fd_ = -1;  // the temporary file; -1 when writing in place
    std::string target_;
    std::string temp_;     // empty when writing in place
    std::string pending_;  // in place: the new text, written whole on Commit
    bool failed_ = false;
};

// Rewrites a regular file in place, as safely as a rename: the space is reserved first, the
// old text is kept in a journal (write_journal.h) before the first byte changes, and a write
// that fails is rolled back at once. False, with the reason, when the file was left as it was.
bool ReplaceInPlace(const std::string& path, std::string_view bytes, std::string* why = nullptr);

// Points of an in-place write, where tests end the writer to see what the next start reads.
enum class InPlaceStage { kJournalKept, kHalfWritten, kNewTextSynced };
void SetInPlaceStageHook(void (*hook)(InPlaceStage));

// Begin, Write, Commit in one; false (with the reason) when the file was left as it was.
bool ReplaceWholeFile(const std::string& path, std::string_view bytes, std::string* why = nullptr);

// The temporary-file name a replacement of path uses before the random part.
std::string TemporaryPrefix(const std::string& path);

}  // namespace tickora
