#include "chart/chart_snapshot.h"

#include <sys/stat.h>

#include <cstdio>
#include <ctime>
#include <optional>

#include "common/safe_file.h"

namespace tickora {

LocalDate Today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::string ChartFolderName(const LocalDate& date) {
    char name[32];
    std::snprintf(name, sizeof name, "%d%2d%2d", date.year, date.month, date.day);
    return name;
}

ChartOutcome SaveChartSnapshot(const std::string& programFolder, const std::string& url,
                               LocalDate (*today)(), const FetchOptions& options) {
    std::optional<FileReplacement> file;
    bool opened = false;
    std::string block;
    block.reserve(kChartBlockBytes);

    BodySink sink;
    // The folder and the file are made only once the URL has opened.
    sink.onResponse = [&] {
        opened = true;
        const std::string folder = programFolder + ChartFolderName(today()) + "/";
        ::mkdir(folder.c_str(), 0777);  // an existing folder serves as it is
        if (auto begun = FileReplacement::Begin(folder + kChartFileName, nullptr))
            file.emplace(std::move(*begun));
        return file.has_value();
    };
    sink.onBody = [&](std::string_view bytes) {
        while (!bytes.empty()) {
            const std::size_t n = std::min(bytes.size(), kChartBlockBytes - block.size());
            block.append(bytes.substr(0, n));
            bytes.remove_prefix(n);
            if (block.size() == kChartBlockBytes) {
                if (!file->Write(block)) return false;
                block.clear();
            }
        }
        return true;
    };
    try {
        FetchBody(url, options, sink);
    } catch (const HttpError&) {
        return opened ? ChartOutcome::Failed : ChartOutcome::NotOpened;
    }
    if (!file) return ChartOutcome::NotCreated;
    return file->Write(block) && file->Commit() ? ChartOutcome::Saved : ChartOutcome::Failed;
}

}  // namespace tickora
