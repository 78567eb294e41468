#include "common/write_journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "common/safe_file.h"

namespace tickora {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kMagic = "tickora journal 1\n";

std::uint64_t Fingerprint(std::string_view bytes) {
    std::uint64_t h = 0xCBF29CE484222325ull;  // FNV-1a
    for (const char c : bytes) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001B3ull;
    }
    return h;
}

std::string AbsoluteTarget(const std::string& target) {
    std::error_code ec;
    const fs::path p = fs::absolute(target, ec);
    return (ec ? fs::path(target) : p).lexically_normal().string();
}

std::string JournalPath(const std::string& absoluteTarget) {
    const std::string folder = JournalFolder();
    if (folder.empty()) return {};
    char name[32];
    std::snprintf(name, sizeof name, "/journal-%016" PRIx64, Fingerprint(absoluteTarget));
    return folder + name;
}

void SyncFolder(const std::string& folder) {
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return;
    ::fsync(dir);
    ::close(dir);
}

std::string Reason(const char* what, int error) {
    return std::string(what) + ": " + std::strerror(error);
}

// The journal's bytes: magic, target, old size, new size and fingerprint, then the old text.
std::string Header(const std::string& target, std::size_t oldSize, std::size_t newSize,
                   std::uint64_t newPrint) {
    char sizes[80];
    std::snprintf(sizes, sizeof sizes, "%zu %zu %016" PRIx64 "\n", oldSize, newSize, newPrint);
    return std::string(kMagic) + target + "\n" + sizes;
}

}  // namespace

std::string JournalFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') return std::string(state) + "/tickora";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return std::string(home) + "/.local/state/tickora";
    return {};
}

bool KeepJournal(const std::string& target, std::string_view oldBytes, std::string_view newBytes,
                 std::string* why) {
    const std::string absolute = AbsoluteTarget(target);
    const std::string path = JournalPath(absolute);
    if (path.empty()) {
        if (why) *why = "no folder for a copy of the old text (HOME is not set)";
        return false;
    }
    std::error_code ec;
    fs::create_directories(JournalFolder(), ec);
    // Written under another name and renamed, so that a journal is either whole or absent.
    const std::string temp = path + ".new";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (why) *why = Reason(JournalFolder().c_str(), errno);
        return false;
    }
    const std::string bytes =
        Header(absolute, oldBytes.size(), newBytes.size(), Fingerprint(newBytes)) +
        std::string(oldBytes);
    bool ok = WriteAllAt(fd, bytes) && ::fsync(fd) == 0;
    const int error = errno;
    ok = ::close(fd) == 0 && ok;
    if (ok && ::rename(temp.c_str(), path.c_str()) == 0) {
        SyncFolder(JournalFolder());
        return true;
    }
    if (why) *why = Reason(temp.c_str(), ok ? errno : error);
    ::unlink(temp.c_str());
    return false;
}

void DropJournal(const std::string& target) {
    const std::string path = JournalPath(AbsoluteTarget(target));
    if (!path.empty() && ::unlink(path.c_str()) == 0) SyncFolder(JournalFolder());
}

void RecoverInterruptedWrite(const std::string& target) {
    const std::string absolute = AbsoluteTarget(target);
    const std::string path = JournalPath(absolute);
    if (path.empty()) return;
    const int jfd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (jfd < 0) return;
    std::string journal;
    const bool readJournal = ReadAll(jfd, journal);
    ::close(jfd);
    if (!readJournal) return;

    // magic, target line, sizes line, old text.
    const std::size_t targetEnd = journal.find('\n', kMagic.size());
    if (!journal.starts_with(kMagic) || targetEnd == std::string::npos ||
        journal.compare(kMagic.size(), targetEnd - kMagic.size(), absolute) != 0)
        return;  // not this file's
    const std::size_t sizesEnd = journal.find('\n', targetEnd + 1);
    std::size_t oldSize = 0, newSize = 0;
    std::uint64_t newPrint = 0;
    if (sizesEnd == std::string::npos ||
        std::sscanf(journal.c_str() + targetEnd + 1, "%zu %zu %" SCNx64, &oldSize, &newSize,
                    &newPrint) != 3 ||
        journal.size() - sizesEnd - 1 != oldSize) {
        DropJournal(target);  // journals are renamed into place whole: this one is no journal
        return;
    }
    const int fd = ::open(absolute.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        // The file is gone: there is nothing to restore into.
        if (errno == ENOENT) DropJournal(target);
        return;
    }
    struct stat info {};
    bool restored = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    if (restored) {
        std::string now;
        const bool newIsComplete =
            ReadAll(fd, now) && now.size() == newSize && Fingerprint(now) == newPrint;
        if (!newIsComplete) {
            const std::string_view old = std::string_view(journal).substr(sizesEnd + 1);
            restored = WriteAllAt(fd, old) &&
                       ::ftruncate(fd, static_cast<off_t>(old.size())) == 0 && ::fsync(fd) == 0;
        }
    }
    ::close(fd);
    if (restored) DropJournal(target);
}

}  // namespace tickora
