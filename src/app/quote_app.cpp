#include "app/quote_app.h"

#include <QApplication>

#include "app/quote_dlg.h"

namespace tickora {

bool CQuoteApp::InitInstance(std::string_view argv0) {
    // The window hides itself in the tray; only the dialog's end ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    CQuoteDlg dlg(argv0);
    dlg.DoModal();
    return false;
}

}  // namespace tickora
