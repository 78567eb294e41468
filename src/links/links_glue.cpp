// Every way the main window opens a web page, and the link-URL settings command.

#include <cstdio>

#include "app/quote_dlg.h"
#include "common/codepage.h"
#include "common/endpoints.h"
#include "links/link_templates.h"
#include "links/link_url_dlg.h"
#include "links/url_opener.h"
#include "watchlist/watch_list_model.h"

namespace tickora {

void CQuoteDlg::OpenLink(const std::string& url, const char* setting) {
    if (IsWebLink(url)) {
        m_services.urlOpener->Open(url);
        return;
    }
    if (m_links.m_setRefusedLinks.insert(setting).second)
        std::fprintf(stderr,
                     "tickora: %s gives a link that is not an http or https address (%s); "
                     "nothing is opened\n",
                     setting, Cp932ToUtf8(url).c_str());
}

void CQuoteDlg::OpenRowLink(int row) {
    if (row < 0 || row >= RowCount()) return;
    const std::optional<std::string> url =
        ExpandStockLink(m_links.m_strStockUrl, m_page.m_szSuffix,
                        m_pModel->Cell(row, ids::kColCode), m_pModel->Cell(row, ids::kColMarket));
    if (url) OpenLink(*url, "OPEN_URL");
}

void CQuoteDlg::OpenIndexLink(const char* code) {
    // An index code is never four bytes long: the template loses its last five bytes.
    OpenLink(m_page.UrlOf(code, -1), "BASE_URL");
}

void CQuoteDlg::OnOpenLink() {
    OpenRowLink(SelectedRow());
}
void CQuoteDlg::OnNikkeiLink() {
    OpenLink(m_links.m_strNikkeiUrl, "OPEN_NIKKEI_URL");
}
void CQuoteDlg::OnTopixText() {
    OpenIndexLink("998405");
}
void CQuoteDlg::OnJasdaqText() {
    OpenIndexLink("23337");
}
void CQuoteDlg::OnHomeLink() {
    OpenLink(endpoints::kHomePage, "the home page");
}

void CQuoteDlg::OnLinkUrlSettings() {
    // Both lists are read afresh every time; the dialog works on copies.
    const std::string nikkeiPath = NikkeiListPath(m_strProgramFolder);
    const std::string stockPath = StockListPath(m_strProgramFolder);
    const UrlList nikkei = ReadUrlList(nikkeiPath, DefaultNikkeiLines());
    const UrlList stock = ReadUrlList(stockPath, DefaultStockLines());
    for (const auto& [path, list] : {std::pair{&nikkeiPath, &nikkei}, {&stockPath, &stock}}) {
        if (!list->writable)
            std::fprintf(stderr, "tickora: %s cannot be read (%s); it is left as it is\n",
                         path->c_str(), list->why.c_str());
    }
    CLinkUrlDlg dlg(this);
    dlg.m_arrNikkeiLines = nikkei.lines;
    dlg.m_arrStockLines = stock.lines;
    dlg.m_strStockUrl = m_links.m_strStockUrl;
    dlg.m_strNikkeiUrl = m_links.m_strNikkeiUrl;
    dlg.m_strStockLabel = m_links.m_strStockLabel;
    dlg.m_strNikkeiLabel = m_links.m_strNikkeiLabel;
    dlg.m_szSuffix = m_page.m_szSuffix;
    if (dlg.DoModal() != QDialog::Accepted) return;
    m_links.m_strStockUrl = dlg.m_strStockUrl;
    m_links.m_strNikkeiUrl = dlg.m_strNikkeiUrl;
    m_links.m_strStockLabel = dlg.m_strStockLabel;
    m_links.m_strNikkeiLabel = dlg.m_strNikkeiLabel;
    m_page.m_szSuffix = dlg.m_szSuffix;
    // The lists are written back as they were read; a file that cannot be is left alone.
    for (const auto& [path, list] : {std::pair{&nikkeiPath, &nikkei}, {&stockPath, &stock}}) {
        if (std::string why; list->writable && !WriteUrlList(*path, *list, &why))
            std::fprintf(stderr, "tickora: %s could not be saved (%s)\n", path->c_str(),
                         why.c_str());
    }
}

}  // namespace tickora
