#include "probe_page.h"

#include <algorithm>
#include <climits>
#include <stdexcept>

#include "common/codepage.h"
#include "common/safe_file.h"
#include "reading/page_reader.h"
#include "reading/page_rules.h"

namespace tickora::probe {

namespace {

// Reads the body twice over: as the program does, and whole.
class TwoReaders {
  public:
    bool Feed(std::string_view bytes) {
        read_.Feed(bytes);
        raw_.append(bytes.substr(0, kMaxRulePageBytes - std::min(raw_.size(), kMaxRulePageBytes)));
        if (whole_.BodyBytes() + bytes.size() > kMaxWholeBytes)
            bytes = bytes.substr(0, kMaxWholeBytes - whole_.BodyBytes());
        whole_.Feed(bytes);
        return whole_.BodyBytes() < kMaxWholeBytes;
    }

    ProbePage Finish(ProbePage page) {
        read_.Finish();
        whole_.Finish();
        page.pieces = read_.Pieces();
        page.bodyBytes = read_.BodyBytes();
        page.bodyGoesOn = whole_.BodyBytes() > read_.BodyBytes();
        page.declared = DeclaredCharset(page.response.contentType, read_.Page());
        page.coding = CodingOf(page.declared, read_.Page());
        page.text = PageTextFor(read_.TakePage(), page.coding);
        page.whole = PageTextFor(whole_.TakePage(), page.coding);
        page.raw = std::move(raw_);
        return page;
    }

  private:
    PageReader read_;
    PageReader whole_{INT_MAX};
    std::string raw_;
};

}  // namespace

ProbePage FetchProbePage(const std::string& url) {
    TwoReaders readers;
    BodySink sink;
    sink.onBody = [&](std::string_view bytes) { return readers.Feed(bytes); };
    ProbePage page;
    page.source = Cp932ToUtf8(url);
    page.response = FetchBody(url, FetchOptions{}, sink);
    return readers.Finish(std::move(page));
}

ProbePage ReadProbePage(const std::string& path) {
    FileRead file = ReadWholeFile(path);
    if (file.status != ReadStatus::Ok)
        throw std::runtime_error(file.status == ReadStatus::Missing ? "no such file" : file.why);
    TwoReaders readers;
    readers.Feed(file.bytes);
    ProbePage page;
    page.source = path;
    page.fromFile = true;
    return readers.Finish(std::move(page));
}

}  // namespace tickora::probe
