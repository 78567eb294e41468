#include "links/url_opener.h"

#include <QDesktopServices>
#include <QUrl>

#include "common/codepage.h"

namespace tickora {

namespace {
class DesktopUrlOpener final : public UrlOpener {
  public:
    void Open(const std::string& url) override {
        // The CP932 bytes become UTF-8; the program encodes nothing else in the URL.
        QDesktopServices::openUrl(
            QUrl(QString::fromStdString(Cp932ToUtf8(url)), QUrl::TolerantMode));
    }
};
}  // namespace

std::shared_ptr<UrlOpener> MakeDesktopUrlOpener() {
    return std::make_shared<DesktopUrlOpener>();
}

}  // namespace tickora
