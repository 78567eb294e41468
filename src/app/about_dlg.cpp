#include "app/about_dlg.h"

#include <QLabel>
#include <QPushButton>

#include "app/quote_dlg.h"
#include "common/codepage.h"
#include "ui/dialog_units.h"
#include "ui/fit_width.h"
#include "ui/plain_text.h"

namespace tickora {

CAboutDlg::CAboutDlg(QWidget* owner) : QDialog(owner) {
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QString::fromUtf8("TICKORA株価"));
    setFont(DialogFont());
    const BaseUnits units = BaseUnitsOf(font());
    setFixedSize(DuToPx(QRect(0, 0, 95, 69), units).size());
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    ok->setGeometry(DuToPx(QRect(38, 48, 50, 14), units));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    const struct {
        int id;
        const char* text;
        QRect du;
        Qt::Alignment align;
    } lines[] = {
        {1056, "TICKORA株価", {7, 7, 81, 8}, Qt::AlignLeft},
        {0, "(C) TICKORA", {30, 17, 58, 8}, Qt::AlignRight},
        {0, "2006", {70, 29, 18, 8}, Qt::AlignRight},
    };
    for (const auto& line : lines) {
        auto* label = new QLabel(QString::fromUtf8(line.text), this);
        label->setTextFormat(Qt::PlainText);  // an "&" shows as it is
        label->setAlignment(line.align | Qt::AlignTop);
        label->setGeometry(DuToPx(line.du, units));
        if (line.id) label->setObjectName(QString::number(line.id));
        label->setFont(FittedFont(font(), label->text(), label->size()));
    }
}

int CAboutDlg::DoModal() {
    auto* title = findChild<QLabel*>(QStringLiteral("1056"));
    title->setText(Shown(m_strTitle));
    title->setFont(FittedFont(font(), title->text(), title->size()));
    findChild<QPushButton*>(QStringLiteral("1"))->setFocus();
    return exec();
}

void CQuoteDlg::OnVersionInfo() {
    CAboutDlg dlg(this);
    dlg.m_strTitle = m_strTitle;
    dlg.DoModal();
}

}  // namespace tickora
