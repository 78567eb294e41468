// The main window's controls: made from the layout table, placed in dialog units, found by
// their ids, and their texts as CP932.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>

#include "app/dialog_layout.h"
#include "app/quote_dlg.h"
#include "common/codepage.h"
#include "common/control_ids.h"
#include "common/market_table.h"
#include "common/row_cells.h"
#include "common/sjis.h"
#include "ui/clickable_label.h"
#include "ui/fit_width.h"
#include "ui/hand_cursor.h"
#include "ui/index_label.h"
#include "ui/plain_text.h"
#include "watchlist/watch_list_model.h"

namespace tickora {

namespace {

// The column each entry-row edit stands under.
constexpr std::pair<int, std::size_t> kEntryColumns[] = {
    {ids::kCodeEdit, ids::kColCode},     {ids::kNameEdit, ids::kColName},
    {ids::kTimeEdit, ids::kColTime},     {ids::kPriceEdit, ids::kColPrice},
    {ids::kChangeEdit, ids::kColChange}, {ids::kRatioEdit, ids::kColRatio},
    {ids::kVolumeEdit, ids::kColVolume}, {ids::kMarkEdit, ids::kColMark},
};

IndexLabel::Role IndexRoleOf(ControlKind kind) {
    return kind == ControlKind::IndexName     ? IndexLabel::Role::Name
           : kind == ControlKind::IndexChange ? IndexLabel::Role::Change
                                              : IndexLabel::Role::Filler;
}

Qt::Alignment AlignmentOf(ControlAlign align) {
    // The statics keep their text at the top.
    switch (align) {
        case ControlAlign::Centre:
            return Qt::AlignHCenter | Qt::AlignTop;
        case ControlAlign::Right:
            return Qt::AlignRight | Qt::AlignTop;
        case ControlAlign::Left:
            break;
    }
    return Qt::AlignLeft | Qt::AlignTop;
}

QLabel* MakeStatic(const ControlDef& def, QWidget* parent) {
    auto* label = new ClickableLabel(QString::fromUtf8(def.text), parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(def.flags & kSunken ? Qt::AlignCenter : AlignmentOf(def.align));
    if (def.flags & kSunken) label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return label;
}

QLineEdit* MakeEdit(const ControlDef& def, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setReadOnly(def.kind == ControlKind::ReadOnlyEdit);
    // The code edit does not scroll: it takes only what fits its width.
    if (def.id == ids::kCodeEdit) edit->setValidator(new FitWidthValidator(edit));
    // A screen reader names an entry-row edit by the column it stands under.
    for (const auto& [id, column] : kEntryColumns)
        if (def.id == id) edit->setAccessibleName(QString::fromUtf8(ids::kColumnTitles[column]));
    return edit;
}

}  // namespace

void CQuoteDlg::CreateControls() {
    setFixedSize(DuToPxX(kDialogWidthDu, m_baseUnits), DuToPxY(kDialogHeightDu, m_baseUnits));
    for (const ControlDef& def : kMainLayout) PlaceControl(def, CreateControl(def));
    for (std::size_t i = 0; i + 1 < kTabOrder.size(); ++i)
        setTabOrder(Control(kTabOrder[i]), Control(kTabOrder[i + 1]));

    m_pList = static_cast<QTableView*>(Control(ids::kWatchList));
    m_spinInterval = static_cast<QSpinBox*>(Control(ids::kIntervalSpin));
    m_cboMarket = static_cast<QComboBox*>(Control(ids::kMarketCombo));
    m_stcLink = static_cast<QLabel*>(Control(ids::kHomeLink));
    NameForScreenReaders();

    connect(static_cast<QLineEdit*>(Control(ids::kCodeEdit)), &QLineEdit::textChanged, this,
            [this] { OnChangeCode(); });
    connect(m_cboMarket, &QComboBox::currentIndexChanged, this, [this] {
        // Filling the selector in OnInitDialog is no user's choice.
        if (m_pModel) OnSelchangeMarket();
    });
    CreateMenus();
}

void CQuoteDlg::NameForScreenReaders() {
    m_pList->setAccessibleName(QString::fromUtf8("銘柄リスト"));
    // A screen reader names a combo box by its current item and finds its purpose through a
    // label that names it; the layout has none for the market, so it gets one out of sight.
    auto* market = new QLabel(QString::fromUtf8("市場"), this);
    market->setBuddy(m_cboMarket);
    market->hide();
    m_cboMarket->setAccessibleDescription(QString::fromUtf8("市場"));
    for (const int id : {ids::kIntervalEdit, ids::kIntervalSpin})
        Control(id)->setAccessibleName(QString::fromUtf8("更新時間"));
    Control(ids::kStatus)->setAccessibleName(QString::fromUtf8("ステータス"));
}

QWidget* CQuoteDlg::CreateControl(const ControlDef& def) {
    const QString text = QString::fromUtf8(def.text);
    switch (def.kind) {
        case ControlKind::Button: {
            auto* button = new QPushButton(text, this);
            button->setAutoDefault(false);
            button->setDefault(def.id == ids::kAddButton);
            connect(button, &QPushButton::clicked, this, [this, id = def.id] { OnCommand(id); });
            return button;
        }
        case ControlKind::Static:
            return MakeStatic(def, this);
        case ControlKind::IndexName:
        case ControlKind::IndexChange:
        case ControlKind::IndexFiller: {
            auto* label = new IndexLabel(IndexRoleOf(def.kind), this);
            label->setAlignment(AlignmentOf(def.align));
            label->SetText(Sj(def.text));
            return label;
        }
        case ControlKind::Edit:
        case ControlKind::ReadOnlyEdit:
            return MakeEdit(def, this);
        case ControlKind::Combo: {
            auto* combo = new QComboBox(this);
            combo->setMaxVisibleItems(kMarketCount);
            return combo;
        }
        case ControlKind::List: {
            auto* list = new QTableView(this);
            // Tab moves between the window's controls, not between the list's cells.
            list->setTabKeyNavigation(false);
            return list;
        }
        case ControlKind::Spin:
            return CreateIntervalSpin();
    }
    return nullptr;
}

QSpinBox* CQuoteDlg::CreateIntervalSpin() {
    auto* spin = new QSpinBox(this);
    // Its buddy is the interval edit, made just before it.
    auto* edit = static_cast<QLineEdit*>(Control(ids::kIntervalEdit));
    connect(spin, &QSpinBox::valueChanged, edit,
            [edit](int value) { edit->setText(QString::number(value)); });
    return spin;
}

void CQuoteDlg::PlaceControl(const ControlDef& def, QWidget* widget) {
    QRect rect = DuToPx(QRect(def.x, def.y, def.width, def.height), m_baseUnits);
    // The closed selector is as high as the edits beside it.
    if (def.kind == ControlKind::Combo) rect.setHeight(DuToPxY(13, m_baseUnits));
    widget->setGeometry(rect);
    if (def.id != 0) {
        widget->setObjectName(QString::number(def.id));
        m_controls[def.id] = widget;
    }
    widget->setFocusPolicy(def.focus == ControlFocus::Tab     ? Qt::StrongFocus
                           : def.focus == ControlFocus::Click ? Qt::ClickFocus
                                                              : Qt::NoFocus);
    if (def.flags & kHidden) widget->hide();
    if (ids::IsClickableStatic(def.id)) {
        connect(static_cast<ClickableLabel*>(widget), &ClickableLabel::clicked, this,
                [this, id = def.id] { OnCommand(id); });
        widget->setCursor(HandCursor());
    }
}

int CQuoteDlg::ControlIdOf(QWidget* widget) const {
    // The widget itself or the control it is part of (a list's viewport, a combo's edit).
    for (QWidget* w = widget; w && w != this; w = w->parentWidget()) {
        bool ok = false;
        const int value = w->objectName().toInt(&ok);
        if (ok && Control(value) == w) return value;
    }
    return 0;
}

void CQuoteDlg::UpdateData() {
    m_entry.m_strEntryCode = ControlText(ids::kCodeEdit);
    m_entry.m_strEntryName = ControlText(ids::kNameEdit);
}

QWidget* CQuoteDlg::Control(int id) const {
    const auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

std::string CQuoteDlg::ControlText(int id) const {
    QWidget* widget = Control(id);
    if (auto* index = qobject_cast<IndexLabel*>(widget)) return index->Text();
    QString text;
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        text = edit->text();
    else if (auto* label = qobject_cast<QLabel*>(widget))
        text = label->text();
    else if (auto* button = qobject_cast<QPushButton*>(widget))
        text = button->text();
    else if (auto* combo = qobject_cast<QComboBox*>(widget))
        text = combo->currentText();
    return Utf8ToCp932(text.toStdString());
}

void CQuoteDlg::SetControlText(int id, std::string_view text) {
    QWidget* widget = Control(id);
    if (auto* index = qobject_cast<IndexLabel*>(widget)) {
        index->SetText(text);
        return;
    }
    const QString value = Shown(text);
    // A pass writes every text it has; one that did not change is not painted again.
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        if (edit->text() == value) return;
        edit->setText(value);
        edit->setCursorPosition(0);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (label->text() != value) label->setText(value);  // every label is Qt::PlainText
    } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
        button->setText(value);
    }
}

int CQuoteDlg::RowCount() const {
    return m_pModel ? m_pModel->RowCount() : 0;
}

int CQuoteDlg::SelectedRow() const {
    if (!m_pList || !m_pList->selectionModel()) return -1;
    const QModelIndexList rows = m_pList->selectionModel()->selectedRows();
    int first = -1;
    for (const QModelIndex& index : rows)
        if (first < 0 || index.row() < first) first = index.row();
    return first;
}

void CQuoteDlg::SelectRow(int row) {
    if (!m_pModel || row < 0 || row >= m_pModel->RowCount()) return;
    const QModelIndex index = m_pModel->index(row, 0);
    m_pList->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

}  // namespace tickora
