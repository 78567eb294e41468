// A file rewritten in place (a folder that refuses new files, a hard-linked file) is as safe
// as one replaced by rename: whatever ends the writer, the next read finds the old or the new
// complete text. Each write runs in a child process that the case ends at its point.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "common/safe_file.h"
#include "scoped_env.h"
#include "temp_dir.h"

namespace tickora {
namespace {

InPlaceStage g_killAt;

struct ChildEnd {
    int signal = 0;   // what ended it, or 0
    int status = -1;  // its exit status when it ended by itself
};

class InPlaceWrite : public ::testing::Test {
  protected:
    // Runs the in-place write of newText in a child; the child's exit status says whether the
    // write reported success (0) or failure (1).
    template <class Prepare>
    ChildEnd WriteInChild(const std::string& newText, Prepare prepare) {
        const pid_t pid = fork();
        if (pid == 0) {
            prepare();
            _exit(ReplaceInPlace(file_, newText) ? 0 : 1);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (WIFSIGNALED(status)) return {WTERMSIG(status), -1};
        return {0, WEXITSTATUS(status)};
    }

    bool JournalLeft() const {
        std::error_code ec;
        return !std::filesystem::is_empty(dir_.file("state/tickora"), ec) && !ec;
    }

    test::TempDir dir_;
    test::ScopedEnv state_{"XDG_STATE_HOME", dir_.file("state")};
    std::string file_ = dir_.file("base_data.ini");
};

TEST_F(InPlaceWrite, ACutShortWriteLeavesTheOldOrTheNewCompleteFile) {
    const std::string oldText =
        "[MEIGARA_DATA]\r\nNUM0=1111\r\n" + std::string(4000, 'o') + "\r\nKOSUU=2\r\n";
    const std::string newText = "[MEIGARA_DATA]\r\n" + std::string(12000, 'n') + "\r\nKOSUU=3\r\n";
    // As long as the old text, a digit changed on either side of the half-way cut.
    const std::string sameSize =
        "[MEIGARA_DATA]\r\nNUM0=2111\r\n" + std::string(4000, 'o') + "\r\nKOSUU=3\r\n";
    const struct {
        const char* what;
        int stage;           // -1: no kill at a stage
        rlim_t sizeLimit;    // RLIM_INFINITY: none
        bool ignoreSigxfsz;  // the limit then fails the write instead of killing
        int signal, status;  // how the child ends
        bool becomesNew;
        bool sameSize = false;  // the new text is as long as the old
    } cases[] = {
        {"killed once the journal is kept", 0, RLIM_INFINITY, false, SIGKILL, -1, false},
        {"killed half way through the text", 1, RLIM_INFINITY, false, SIGKILL, -1, false},
        {"killed half way through a text as long", 1, RLIM_INFINITY, false, SIGKILL, -1, false,
         true},
        {"killed after the new text is on disk", 2, RLIM_INFINITY, false, SIGKILL, -1, true},
        {"a file-size limit kills the writer", -1, 8000, false, SIGXFSZ, -1, false},
        {"a file-size limit fails the write: rolled back", -1, 8000, true, 0, 1, false},
        {"nothing in the way", -1, RLIM_INFINITY, false, 0, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        dir_.Write("base_data.ini", oldText);
        const std::string& next = c.sameSize ? sameSize : newText;
        const ChildEnd end = WriteInChild(next, [&c] {
            if (c.stage >= 0) {
                g_killAt = static_cast<InPlaceStage>(c.stage);
                SetInPlaceStageHook([](InPlaceStage s) {
                    if (s == g_killAt) raise(SIGKILL);
                });
            }
            if (c.ignoreSigxfsz) signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{c.sizeLimit, c.sizeLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
        });
        EXPECT_EQ(end.signal, c.signal);
        EXPECT_EQ(end.status, c.status);
        const std::string& expected = c.becomesNew ? next : oldText;
        // A writer that ended by itself left the file whole on disk, rolled back or not,
        // before any read restores it from the journal.
        if (end.signal == 0) {
            EXPECT_TRUE(dir_.Read("base_data.ini") == expected);
            EXPECT_FALSE(JournalLeft());
        }
        // The next start reads the file: a write cut short is undone first.
        const FileRead read = ReadWholeFile(file_);
        EXPECT_TRUE(read.bytes == expected) << read.bytes.size();
        EXPECT_FALSE(JournalLeft());
    }
}

TEST_F(InPlaceWrite, NoPlaceForTheJournalLeavesTheFileAsItWas) {
    dir_.Write("base_data.ini", "old");
    dir_.Write("state", "a file where the journal folder should be");
    std::string why;
    EXPECT_FALSE(ReplaceInPlace(file_, "new", &why));
    EXPECT_NE(why.find("left as it was"), std::string::npos) << why;
    EXPECT_EQ(dir_.Read("base_data.ini"), "old");
}

}  // namespace
}  // namespace tickora
