#include "chart/chart_snapshot.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "quote_host.h"
#include "temp_dir.h"

namespace tickora {
namespace {

namespace fs = std::filesystem;

LocalDate May5() {
    return {2006, 5, 5};
}

// The body of the host's /blob?n=N: byte i is (131 i + i / 251) mod 256.
std::string Blob(std::size_t n) {
    std::string bytes(n, '\0');
    for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>((i * 131 + i / 251) & 0xFF);
    return bytes;
}

// The day's snapshots go to one file in a folder named by the date, each replacing the last
// whole, a shorter one too.
TEST(ChartSnapshot, SavesTheBodyByteForByteOverTheDaysLastAndABrokenOneKeepsIt) {
    test::QuoteHost host;
    test::TempDir dir;
    FetchOptions quick;
    quick.stallSeconds = 1;
    const struct {
        const char* what;
        std::string path;
        std::string expected;
    } cases[] = {
        {"several blocks and a rest", "/blob?n=35001", Blob(35001)},
        {"exactly one block", "/blob?n=10240", Blob(10240)},
        {"an empty body", "/blob?n=0", ""},
        {"a redirect is followed", "/fault/redirect/blob?n=77", Blob(77)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(SaveChartSnapshot(dir.folder(), host.Url(c.path), May5, quick),
                  ChartOutcome::Saved);
        EXPECT_EQ(dir.Read("2006 5 5/hhh.gif"), c.expected);
    }
    // Other days' folders: the date with blanks, not zeros.
    EXPECT_EQ(ChartFolderName({2006, 5, 12}), "2006 512");
    EXPECT_EQ(ChartFolderName({2006, 12, 31}), "20061231");
    ASSERT_EQ(SaveChartSnapshot(dir.folder(), host.Url("/c/1d/8/8058.t.gif"), May5, quick),
              ChartOutcome::Saved);
    const std::string chart = dir.Read("2006 5 5/hhh.gif");
    EXPECT_TRUE(chart.starts_with("GIF89a"));
    for (const char* broken : {"/fault/reset/c/1d/8/8058.t.gif", "/fault/stall/blob?n=9000"})
        EXPECT_EQ(SaveChartSnapshot(dir.folder(), host.Url(broken), May5, quick),
                  ChartOutcome::Failed)
            << broken;
    EXPECT_EQ(dir.Read("2006 5 5/hhh.gif"), chart);
    // One folder holding one file: no temporary file is left behind.
    EXPECT_EQ(test::EntriesIn(dir.path()), 1);
    EXPECT_EQ(test::EntriesIn(dir.path() / "2006 5 5"), 1);
}

TEST(ChartSnapshot, NothingIsCreatedWhenTheUrlOrTheFolderFails) {
    test::QuoteHost host;
    test::ClosedPort closed;
    test::TempDir dir;
    // The date is read only once the URL has opened.
    static int datesRead = 0;
    EXPECT_EQ(SaveChartSnapshot(dir.folder(), closed.Url("/c/1d/8/8058.t.gif"),
                                [] { return ++datesRead, May5(); }, {}),
              ChartOutcome::NotOpened);
    EXPECT_EQ(datesRead, 0);
    EXPECT_TRUE(fs::is_empty(dir.path()));
    // A program folder that cannot hold a folder: a file stands where it would go.
    dir.Write("file", "x");
    EXPECT_EQ(SaveChartSnapshot(dir.folder() + "file/", host.Url("/blob?n=10"), May5, {}),
              ChartOutcome::NotCreated);
    EXPECT_EQ(dir.Read("file"), "x");
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into a read-only folder";
    ::chmod(dir.path().c_str(), 0555);
    EXPECT_EQ(SaveChartSnapshot(dir.folder(), host.Url("/blob?n=10"), May5, {}),
              ChartOutcome::NotCreated);
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_FALSE(fs::exists(dir.path() / "2006 5 5"));
}

}  // namespace
}  // namespace tickora
