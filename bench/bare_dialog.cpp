// The floor the real program's start-up and memory are measured against: a bare QDialog
// with a 15-row QTableView showing Japanese and Latin text, nothing else. With --tray it starts
// hidden behind a QSystemTrayIcon instead, as the program does when it starts in the tray.
#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QPixmap>
#include <QStandardItemModel>
#include <QSystemTrayIcon>
#include <QTableView>
#include <QVBoxLayout>
#include <cstring>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const bool tray = argc > 1 && std::strcmp(argv[1], "--tray") == 0;

    QDialog dialog;
    dialog.setWindowTitle("bare dialog");
    auto* layout = new QVBoxLayout(&dialog);
    auto* table = new QTableView(&dialog);
    // The program's own headers and a market in Japanese, so that both load a Japanese font.
    auto* model = new QStandardItemModel(15, 9, &dialog);
    model->setHorizontalHeaderLabels(
        QString::fromUtf8("No.,銘柄,市場,更新時,現在値,前日差,変化率,出来高,増減").split(','));
    for (int r = 0; r < 15; ++r)
        for (int c = 0; c < 9; ++c)
            model->setItem(r, c,
                           new QStandardItem(c == 2 ? QString::fromUtf8("東証")
                                                    : QString::number(1301 + r * 7 + c)));
    table->setModel(model);
    table->verticalHeader()->hide();
    layout->addWidget(table);
    dialog.resize(640, 480);
    // Laid out even when it stays hidden, as the program's window is.
    table->resizeColumnsToContents();

    QSystemTrayIcon icon;
    if (tray) {
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::darkGreen);
        icon.setIcon(QIcon(pixmap));
        icon.setToolTip("bare dialog");
        icon.show();
    } else {
        dialog.show();
    }
    return app.exec();
}
