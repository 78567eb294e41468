#include "alerts/alert_dlg.h"

#include <QLabel>
#include <QPushButton>

#include "../app/window_fixture.h"

namespace tickora::test {
namespace {

QLineEdit* Field(QDialog& d, const char* name) {
    for (auto* edit : d.findChildren<QLineEdit*>())
        if (edit->accessibleName() == QString::fromUtf8(name)) return edit;
    return nullptr;
}

// Typed texts, then Enter in the last field: accepted with the thresholds read, or refused
// with the word beside each field that holds no number, the dialog staying open until Escape.
TEST(AlertDialog, FieldsTakeNumbersInAnyWidthAndRefuseTheRest) {
    App();
    struct Case {
        std::array<const char*, 3> typed;
        std::optional<AlertLimits> accepted;  // nullopt: refused
        std::array<bool, 3> refused;
    } cases[] = {
        {{"１，２３４．５", "", ""}, AlertLimits{{1234.5, {}, {}}}, {}},
        {{" 4,700 ", "4500", "-5%"}, AlertLimits{{4700, 4500, 5}}, {}},
        {{"", "", ""}, AlertLimits{}, {}},
        {{"abc", "100", "5"}, {}, {true, false, false}},
        {{"5%", "", "x"}, {}, {true, false, true}},
        {{"", "---", "1,2,"}, {}, {false, true, true}},
    };
    const char* const names[] = {"上限", "下限", "変化率"};
    for (const Case& c : cases) {
        CAlertDlg dlg(nullptr);
        dlg.m_strStock = Sj("8058 東西精機（東証）");
        dlg.m_limits.values = {7, 8, 9};
        bool refusedShown = true, tabbed = false;
        QTimer::singleShot(0, [&] {
            QApplication::setActiveWindow(&dlg);
            // Tab from the first field reaches the other two and both buttons.
            for (int i = 0; i < 5; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            tabbed = QApplication::focusWidget() == Field(dlg, names[0]);
            for (int k = 0; k < 3; ++k)
                Field(dlg, names[k])->setText(QString::fromUtf8(c.typed[k]));
            QTest::keyClick(Field(dlg, names[2]), Qt::Key_Return);
            for (int k = 0; k < 3 && dlg.isVisible(); ++k)
                refusedShown &=
                    Field(dlg, names[k])
                        ->accessibleDescription()
                        .endsWith(QString::fromUtf8("数値ではありません")) == c.refused[k];
            if (dlg.isVisible()) QTest::keyClick(Field(dlg, names[0]), Qt::Key_Escape);
        });
        const int result = dlg.DoModal();
        EXPECT_TRUE(tabbed) << c.typed[0];
        EXPECT_EQ(result == QDialog::Accepted, c.accepted.has_value()) << c.typed[0];
        EXPECT_EQ(dlg.m_limits, c.accepted.value_or(AlertLimits{{7, 8, 9}})) << c.typed[0];
        EXPECT_TRUE(refusedShown) << c.typed[0];
        QStringList buttons;
        for (auto* button : dlg.findChildren<QPushButton*>()) buttons << button->accessibleName();
        EXPECT_EQ(buttons, QStringList({"OK", QString::fromUtf8("キャンセル")}));
    }
}

}  // namespace
}  // namespace tickora::test
