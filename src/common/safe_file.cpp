#include "common/safe_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <utility>

#include "common/write_journal.h"

namespace tickora {

namespace {

namespace fs = std::filesystem;

// Temporaries a killed save left behind are removed once they are this old; a running save
// of another instance holds its temporary for milliseconds, not minutes.
constexpr std::time_t kStaleSeconds = 600;

std::string Reason(int error) {
    return std::strerror(error);
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// The file a write of path lands in: a symbolic link is followed, however many there are,
// to the target it names, which need not exist yet.
std::optional<fs::path> WriteTarget(const fs::path& path, std::string* why) {
    fs::path target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return target;
        std::error_code ec;
        const fs::path next = fs::read_symlink(target, ec);
        if (ec) break;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    if (why) *why = "too many symbolic links";
    return std::nullopt;
}

bool IsOurTemporaryName(std::string_view name, std::string_view base) {
    // ".NAME.tickora-XXXXXX", and ".NAME.XXXXXX" as earlier versions named them.
    const std::string head = "." + std::string(base) + ".";
    if (!name.starts_with(head)) return false;
    std::string_view rest = name.substr(head.size());
    if (rest.starts_with("tickora-")) rest.remove_prefix(8);
    if (rest.size() != 6) return false;
    for (const char c : rest)
        if (!std::isalnum(static_cast<unsigned char>(c))) return false;
    return true;
}

// Removes the temporaries of earlier saves of this file that were killed mid-write.
void RemoveStaleTemporaries(const fs::path& target) {
    const fs::path folder = target.parent_path().empty() ? "." : target.parent_path();
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;
    const std::string base = target.filename().string();
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsOurTemporaryName(entry->d_name, base)) continue;
        struct stat info {};
        if (::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (S_ISREG(info.st_mode) && info.st_uid == ::geteuid() &&
            now - info.st_mtime > kStaleSeconds)
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

void (*g_stageHook)(InPlaceStage) = nullptr;

void Reached(InPlaceStage stage) {
    if (g_stageHook) g_stageHook(stage);
}

// bytes from offset 0, the file cut to their length, flushed to disk.
bool Overwrite(int fd, std::string_view bytes, bool halfway = false) {
    const std::size_t half = halfway ? bytes.size() / 2 : bytes.size();
    if (!WriteAllAt(fd, bytes.substr(0, half), 0)) return false;
    if (halfway) Reached(InPlaceStage::kHalfWritten);
    return WriteAllAt(fd, bytes.substr(half), static_cast<long long>(half)) &&
           ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd) == 0;
}

bool ReadOnly(const struct stat& info, const fs::path& path) {
    // The mode bits count even for a user whom access() would let write anyway.
    return (info.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0;
}

}  // namespace

FileRead ReadWholeFile(const std::string& path) {
    if (const std::optional<fs::path> target = WriteTarget(path, nullptr))
        RecoverInterruptedWrite(target->string());
    FileRead result;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        result.status = error == ENOENT || error == ENOTDIR ? ReadStatus::Missing
                        : error == ENXIO                    ? ReadStatus::NotRegular
                                                            : ReadStatus::Unreadable;
        result.why = Reason(error);
        return result;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        result.status = ReadStatus::NotRegular;
        result.why = "not a regular file";
        return result;
    }
    const bool read = ReadAll(fd, result.bytes);
    const int error = errno;
    ::close(fd);
    if (!read) {
        result.status = ReadStatus::Unreadable;
        result.why = Reason(error);
        result.bytes.clear();
        return result;
    }
    result.status = ReadStatus::Ok;
    return result;
}

std::string TemporaryPrefix(const std::string& path) {
    const fs::path p(path);
    return (p.parent_path() / ("." + p.filename().string() + ".tickora-")).string();
}

std::optional<FileReplacement> FileReplacement::Begin(const std::string& path, std::string* why) {
    const std::optional<fs::path> target = WriteTarget(path, why);
    if (!target) return std::nullopt;
    struct stat info {};
    const bool exists = ::stat(target->c_str(), &info) == 0;
    if (exists && !S_ISREG(info.st_mode)) {
        if (why) *why = "not a regular file";
        return std::nullopt;
    }
    if (exists && ReadOnly(info, *target)) {
        if (why) *why = "the file is read-only";
        return std::nullopt;
    }
    RemoveStaleTemporaries(*target);
    // Every name of a hard-linked file must see the new text: a rename would part them.
    if (exists && info.st_nlink > 1) return FileReplacement(-1, target->string(), "");

    std::string temp = TemporaryPrefix(target->string()) + "XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd >= 0) {
        // The new file keeps the old one's permissions; a first file gets rw-r--r--.
        ::fchmod(fd, exists ? (info.st_mode & 07777) : 0644);
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        return FileReplacement(fd, target->string(), std::move(temp));
    }
    const int error = errno;
    // The folder refuses new files but the file itself may be written: in place.
    if (exists && ::access(target->c_str(), W_OK) == 0)
        return FileReplacement(-1, target->string(), "");
    if (why) *why = Reason(error);
    return std::nullopt;
}

FileReplacement::FileReplacement(FileReplacement&& other) noexcept
    : fd_(other.fd_),
      target_(std::move(other.target_)),
      temp_(std::move(other.temp_)),
      pending_(std::move(other.pending_)),
      failed_(other.failed_) {
    other.fd_ = -1;
}

FileReplacement::~FileReplacement() {
    Discard();
}

void FileReplacement::Discard() {
    target_.clear();
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
    ::unlink(temp_.c_str());
}

bool FileReplacement::Write(std::string_view bytes) {
    if (target_.empty() || failed_) return false;
    if (temp_.empty()) {
        pending_.append(bytes);
        return true;
    }
    failed_ = !WriteAll(fd_, bytes);
    return !failed_;
}

bool FileReplacement::Commit(std::string* why) {
    if (target_.empty()) return false;
    const std::string target = std::exchange(target_, {});
    if (temp_.empty()) return !failed_ && ReplaceInPlace(target, pending_, why);
    bool ok = !failed_ && ::fsync(fd_) == 0;
    ok = ::close(fd_) == 0 && ok;
    fd_ = -1;
    ok = ok && ::rename(temp_.c_str(), target.c_str()) == 0;
    if (!ok) {
        if (why) *why = "the write failed";
        ::unlink(temp_.c_str());
        return false;
    }
    // Make the rename itself durable.
    const fs::path folder = fs::path(target).parent_path();
    const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool ReadAll(int fd, std::string& bytes) {
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
}

bool WriteAllAt(int fd, std::string_view bytes, long long at) {
    while (!bytes.empty()) {
        const ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(at));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
        at += n;
    }
    return true;
}

bool ReplaceInPlace(const std::string& link, std::string_view bytes, std::string* why) {
    const auto fail = [why](const std::string& reason) {
        if (why) *why = reason + "; the file was left as it was";
        return false;
    };
    const std::optional<fs::path> target = WriteTarget(link, why);
    if (!target) return false;
    const std::string path = target->string();
    const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return fail(Reason(errno));
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return fail("not a regular file");
    }
    std::string old;
    if (!ReadAll(fd, old)) {
        const int error = errno;
        ::close(fd);
        return fail(Reason(error));
    }
    // The blocks the longer text needs are had before anything changes; a file system that
    // cannot reserve still gets the journal and the rollback below.
    if (bytes.size() > old.size() &&
        ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes.size())) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS) {
        const int error = errno;
        ::close(fd);
        return fail("no room for the new text: " + Reason(error));
    }
    std::string journalWhy;
    if (!KeepJournal(path, old, bytes, &journalWhy)) {
        ::close(fd);
        return fail("no copy of the old text could be kept (" + journalWhy + ")");
    }
    Reached(InPlaceStage::kJournalKept);
    if (!Overwrite(fd, bytes, true)) {
        const int error = errno;
        // Rolled back now; should that fail too, the journal restores it at the next read.
        if (Overwrite(fd, old)) DropJournal(path);
        ::close(fd);
        return fail("the write failed: " + Reason(error));
    }
    Reached(InPlaceStage::kNewTextSynced);
    ::close(fd);
    DropJournal(path);
    return true;
}

void SetInPlaceStageHook(void (*hook)(InPlaceStage)) {
    g_stageHook = hook;
}

bool ReplaceWholeFile(const std::string& path, std::string_view bytes, std::string* why) {
    std::optional<FileReplacement> file = FileReplacement::Begin(path, why);
    if (!file) return false;
    if (file->Write(bytes) && file->Commit(why)) return true;
    if (why && why->empty()) *why = "the write failed";
    return false;
}

}  // namespace tickora
