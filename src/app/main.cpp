#include <QApplication>

#include "app/quote_app.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    tickora::CQuoteApp theApp;
    return theApp.InitInstance(argc > 0 ? argv[0] : "") ? 1 : 0;
}
