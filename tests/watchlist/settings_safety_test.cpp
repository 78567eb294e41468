// Nothing the user set is lost: a settings file the program could not read is never written,
// and every other save ends with the old or the new complete file.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "common/codepage.h"
#include "common/safe_file.h"
#include "temp_dir.h"
#include "watchlist/settings_file.h"

namespace tickora {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

const std::string kMine = "[MEIGARA_DATA]\r\nKOSUU=1\r\nNUM0=8058\r\n[MINE]\r\nkeep=me\r\n";

void Age(const fs::path& file) {
    const timespec times[2] = {{0, UTIME_OMIT}, {std::time(nullptr) - 3600, 0}};
    ::utimensat(AT_FDCWD, file.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

TEST(SettingsSafety, EverySaveEndsWithTheOldOrTheNewCompleteFile) {
    const struct {
        const char* what;
        bool asRootToo;  // root reads and writes what the mode bits forbid others
        std::function<void(TempDir&)> arrange;
        bool refused, saved;
        std::function<void(TempDir&)> check;  // after the attempt to save
    } cases[] = {
        {"unreadable", false,
         [](TempDir& d) {
             d.Write("base_data.ini", kMine), ::chmod(d.file("base_data.ini").c_str(), 0200);
         },
         true, false,
         [](TempDir& d) {
             ::chmod(d.file("base_data.ini").c_str(), 0600);
             EXPECT_EQ(d.Read("base_data.ini"), kMine);
         }},
        {"a FIFO: opened without blocking", true,
         [](TempDir& d) { ::mkfifo(d.file("base_data.ini").c_str(), 0600); }, true, false,
         [](TempDir& d) { EXPECT_TRUE(fs::is_fifo(d.file("base_data.ini"))); }},
        {"a folder", true, [](TempDir& d) { fs::create_directory(d.file("base_data.ini")); }, true,
         false, [](TempDir& d) { EXPECT_TRUE(fs::is_directory(d.file("base_data.ini"))); }},
        {"read-only", true,
         [](TempDir& d) {
             d.Write("base_data.ini", kMine), ::chmod(d.file("base_data.ini").c_str(), 0444);
         },
         false, false, [](TempDir& d) { EXPECT_EQ(d.Read("base_data.ini"), kMine); }},
        {"a byte-order mark", true,
         [](TempDir& d) { d.Write("base_data.ini", "\xEF\xBB\xBF" + kMine); }, false, true,
         [](TempDir& d) {
             const std::string saved = d.Read("base_data.ini");
             EXPECT_TRUE(saved.starts_with("\xEF\xBB\xBF[MINE]"));  // the mark hid no section
             EXPECT_EQ(saved.find("\xEF\xBB\xBF", 1), std::string::npos);
             EXPECT_EQ(saved.find("[MEIGARA_DATA]"), saved.rfind("[MEIGARA_DATA]"));
         }},
        {"a symbolic link is written through", true,
         [](TempDir& d) {
             fs::create_directory(d.path() / "real");
             d.Write("real/t.ini", kMine);
             fs::create_symlink("real/t.ini", d.file("base_data.ini"));
         },
         false, true,
         [](TempDir& d) {
             EXPECT_TRUE(fs::is_symlink(d.file("base_data.ini")));
             EXPECT_NE(d.Read("real/t.ini").find("NUM1=9984"), std::string::npos);
         }},
        {"a folder that refuses new files: written in place", false,
         [](TempDir& d) {
             fs::create_directory(d.path() / "ro");
             d.Write("ro/base_data.ini", kMine);
             ::chmod((d.path() / "ro").c_str(), 0555);
         },
         false, true,
         [](TempDir& d) {
             ::chmod((d.path() / "ro").c_str(), 0755);
             EXPECT_NE(d.Read("ro/base_data.ini").find("NUM1=9984"), std::string::npos);
         }},
        {"stale temporaries of ours go", true,
         [](TempDir& d) {
             d.Write("base_data.ini", kMine);
             for (const char* name : {".base_data.ini.tickora-Ab12Cd", ".base_data.ini.Xy12Z9",
                                      ".base_data.ini.tickora-Fresh1", ".base_data.ini.backup1"})
                 d.Write(name, "x");
             for (const char* name : {".base_data.ini.tickora-Ab12Cd", ".base_data.ini.Xy12Z9",
                                      ".base_data.ini.backup1"})
                 Age(d.file(name));
         },
         false, true,
         [](TempDir& d) {
             EXPECT_FALSE(fs::exists(d.file(".base_data.ini.tickora-Ab12Cd")));
             EXPECT_FALSE(fs::exists(d.file(".base_data.ini.Xy12Z9")));
             EXPECT_TRUE(
                 fs::exists(d.file(".base_data.ini.tickora-Fresh1")));   // another save's, now
             EXPECT_TRUE(fs::exists(d.file(".base_data.ini.backup1")));  // not ours
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.asRootToo && ::geteuid() == 0) {
            std::printf("skipped as root: %s\n", c.what);
            continue;
        }
        TempDir dir;
        c.arrange(dir);
        const std::string folder =
            fs::exists(dir.path() / "ro") ? dir.folder() + "ro/" : dir.folder();
        std::string refusal;
        SettingsData data = LoadSettingsData(SettingsPath(folder), &refusal);
        EXPECT_EQ(!refusal.empty(), c.refused) << refusal;
        if (!c.refused) {
            EXPECT_EQ(data.rows.size(), 1u);
            data.rows.push_back({"9984", Sj("東証")});
            EXPECT_EQ(SaveSettingsData(SettingsPath(folder), data), c.saved);
        }
        c.check(dir);
        if (c.saved) {
            const std::string saved =
                fs::exists(dir.path() / "real")
                    ? dir.Read("real/t.ini")
                    : dir.Read(fs::path(folder).lexically_relative(dir.path()) / "base_data.ini");
            EXPECT_NE(saved.find("keep=me"), std::string::npos);
        }
    }
}

}  // namespace
}  // namespace tickora
