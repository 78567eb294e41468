#pragma once
// The entry row above the list: the code and name its edits hold, and its previews, the newest
// request, the newest answered, and the flag that stops the fetch of a request no longer
// wanted.

#include <atomic>
#include <memory>
#include <string>

namespace tickora {

struct EntryRow {
    std::string m_strEntryCode;
    std::string m_strEntryName;
    int m_nPreviewRequest = 0;
    int m_nPreviewAnswered = 0;
    std::shared_ptr<std::atomic<bool>> m_previewCancel;
    int m_bAddWaiting = 0;  // an add waits for the preview of the code it adds
};

}  // namespace tickora
