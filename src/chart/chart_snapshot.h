#pragma once
// One chart image from the chart host, saved as hhh.gif in a folder named by the local date
// beside the program.

#include <string>

#include "quotes/fetch.h"

namespace tickora {

struct LocalDate {
    int year = 0, month = 0, day = 0;
};
LocalDate Today();

// "%d%2d%2d": 2006 5 5 for 5 May 2006, blanks and not zeros before a one-digit month or day.
std::string ChartFolderName(const LocalDate& date);

inline constexpr const char* kChartPath = "/c/1d/8/8058.t.gif";
inline constexpr const char* kChartFileName = "hhh.gif";
inline constexpr std::size_t kChartBlockBytes = 10240;

enum class ChartOutcome {
    Saved,       // the file holds the whole body
    NotOpened,   // the URL could not be opened: nothing was created
    NotCreated,  // the folder or the file could not be made: nothing was written
    Failed,      // the body broke off: an earlier snapshot of the day stays as it was
};

// Whatever the HTTP status, the body is saved (an error page included). The date is asked of
// today() once the URL has opened, so a snapshot just after midnight lands in the new day.
ChartOutcome SaveChartSnapshot(const std::string& programFolder, const std::string& url,
                               LocalDate (*today)(), const FetchOptions& options);

}  // namespace tickora
