// The refresh cycle's side of the main window: timer dispatch, the tick, the worker's
// pass, connecting and disconnecting.

#include <malloc.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <chrono>
#include <set>

#include "app/list_tool_tip.h"
#include "app/quote_dlg.h"
#include "common/control_ids.h"
#include "quotes/gateway_refresh_view.h"
#include "ui/plain_text.h"
#include "watchlist/quote_places.h"
#include "watchlist/watch_list_model.h"

namespace tickora {

namespace {
// Hands freed memory back to the system after a tick and a pass.
void TrimWorkingSet() {
    malloc_trim(0);
}
}  // namespace

void CQuoteDlg::OnTimer(int id) {
    if (id == ids::kTimerRefresh) {
        SetStatusText(FetchingStatusText());
        UpdateData();
        // A worker trims the working set when its pass ends, which serves for the tick too.
        if (!StartRefreshWorker()) TrimWorkingSet();
    } else if (id == ids::kTimerTip) {
        OnTrayTipTick();
    }
}

RefreshConfig CQuoteDlg::MakeRefreshConfig() const {
    RefreshConfig config;
    config.page = m_page;
    config.entryCode = m_entry.m_strEntryCode;
    config.entryMarket = m_cboMarket ? m_cboMarket->currentIndex() : 0;
    config.fetch = m_fetchLimits;
    config.fetch.cancel = &m_gateway.CancelFlag();
    return config;
}

bool CQuoteDlg::StartRefreshWorker() {
    if (m_bDestroyed) return false;
    // A pass that outlasts the tick has at most one more waiting behind it: a tick while
    // one waits already is dropped, so a slow host meets no pile of threads and no burst.
    if (m_refresh.m_nPassesWaiting > 0) return false;
    ++m_refresh.m_nPassesWaiting;
    m_workers.Start([this, config = MakeRefreshConfig()] { RefreshThreadProc(config); });
    return true;
}

unsigned CQuoteDlg::RefreshThreadProc(const RefreshConfig& config) {
    {
        std::lock_guard lock(m_refresh.m_csFetch);
        --m_refresh.m_nPassesWaiting;
        if (!m_gateway.IsClosed()) {
            GatewayRefreshView view(
                m_gateway,
                {&m_rowSnapshot, m_pModel, &m_arrResults,
                 [this](std::size_t index, const IndexTexts& texts) { ShowIndex(index, texts); },
                 [this](const std::string& code, int market, const Quote& quote) {
                     ShowEntryQuote(code, market, quote);
                 },
                 [this] { OnPassEnded(); },
                 [this](const RowKey& key, bool ok) { OnRowRead(key, ok); }});
            RunRefreshPass(view, config);
        }
    }
    TrimWorkingSet();
    return 0;
}

void CQuoteDlg::StartRefresh() {
    if (RowCount() == 0) return;
    if (m_refresh.m_bConnected != 0) return;
    m_refresh.m_bConnected = 1;
    Control(ids::kConnectButton)->setEnabled(false);
    Control(ids::kDisconnectButton)->setEnabled(true);
    SetTimer(ids::kTimerRefresh, m_spinInterval->value() * 1000);
}

void CQuoteDlg::StopRefresh() {
    if (m_refresh.m_bConnected != 1) return;
    m_refresh.m_bConnected = 0;
    Control(ids::kConnectButton)->setEnabled(true);
    Control(ids::kDisconnectButton)->setEnabled(false);
    KillTimer(ids::kTimerRefresh);
}

void CQuoteDlg::OnConnectButton() {
    StartRefresh();
    Control(ids::kDisconnectButton)->setFocus();
}

void CQuoteDlg::OnDisconnectButton() {
    StopRefresh();
    Control(ids::kConnectButton)->setFocus();
}

void CQuoteDlg::SetStatusText(std::string_view text) {
    SetControlText(ids::kStatus, text);
    // Its name says what it is, then what it shows; a screen reader hears it change.
    Control(ids::kStatus)->setAccessibleName(QString::fromUtf8("ステータス ") + Shown(text));
}

void CQuoteDlg::ShowIndex(std::size_t index, const IndexTexts& texts) {
    SetControlText(kIndexPlaces[index].line, texts.line);
    SetControlText(kIndexPlaces[index].change, texts.change);
    m_refresh.m_watch.IndexRead();
    ShowReadingState();
}

void CQuoteDlg::OnRowRead(const RowKey& key, bool ok) {
    m_refresh.m_watch.RowRead(key, ok, std::chrono::system_clock::now());
    // A failed read fires no alert.
    if (ok) NoteRowRead(key);
    ShowReadingState();
}

void CQuoteDlg::OnPassEnded() {
    CheckAlerts();
    SetStatusText("");
    m_refresh.m_watch.PassEnded(std::chrono::system_clock::now());
    ShowReadingState();
    emit PassEnded();
}

void CQuoteDlg::InitReadingState() {
    // A band over the foot of the list: it moves none of the window's controls.
    auto* band = new QLabel(m_pList);
    band->setObjectName(QStringLiteral("readingStopped"));
    band->setAccessibleName(QString::fromUtf8("ページの読み込み"));
    band->setTextFormat(Qt::PlainText);
    band->setAlignment(Qt::AlignCenter);
    band->setAutoFillBackground(true);
    band->setStyleSheet(QStringLiteral("background:#fff3c4;color:#a00000;"));
    const int height = band->fontMetrics().height() + 6;
    const int frame = m_pList->frameWidth();
    band->setGeometry(frame, m_pList->height() - frame - height, m_pList->width() - 2 * frame,
                      height);
    band->hide();
    m_refresh.m_lblStopped = band;
    m_tooltip->SetLineAt([this](QPoint pos) {
        const QString alert = AlertTipAt(pos), failing = FailingTipAt(pos);
        return alert.isEmpty() || failing.isEmpty() ? alert + failing : alert + "\n" + failing;
    });
    connect(m_pModel, &QAbstractItemModel::rowsRemoved, this, [this] {
        std::set<RowKey> listed;
        for (int row = 0; row < RowCount(); ++row)
            listed.insert(
                {m_pModel->Cell(row, ids::kColCode), m_pModel->Cell(row, ids::kColMarket)});
        m_refresh.m_watch.KeepOnly(listed);
    });
}

void CQuoteDlg::ShowReadingState() {
    QLabel* band = m_refresh.m_lblStopped;
    const std::optional<ReadingWatch::Time> since = m_refresh.m_watch.StoppedSince();
    const bool changed = band->isVisibleTo(this) != since.has_value();
    if (since) band->setText(Shown(ReadingStoppedText(*since)));
    band->setVisible(since.has_value());
    // The tray's tip says so too; a sleeping tip timer would not look.
    if (changed && m_tray.m_bTrayIcon == 1) RefreshTrayTip();
}

QString CQuoteDlg::FailingTipAt(QPoint listPos) const {
    const int row = m_pList->indexAt(listPos).row();
    if (row < 0) return {};
    const auto since = m_refresh.m_watch.FailingSince(
        {m_pModel->Cell(row, ids::kColCode), m_pModel->Cell(row, ids::kColMarket)});
    return since ? Shown(ReadFailingText(*since)) : QString();
}

void CQuoteDlg::PublishRowsOnChanges() {
    const auto publish = [this] {
        std::vector<RowKey> keys;
        for (int row = 0; row < m_pModel->RowCount(); ++row)
            keys.push_back(
                {m_pModel->Cell(row, ids::kColCode), m_pModel->Cell(row, ids::kColMarket)});
        m_rowSnapshot.Publish(std::move(keys), m_arrResults.size());
    };
    connect(m_pModel, &QAbstractItemModel::rowsInserted, this, publish);
    connect(m_pModel, &QAbstractItemModel::rowsRemoved, this, publish);
    connect(m_pModel, &QAbstractItemModel::rowsMoved, this, publish);
    connect(m_pModel, &QAbstractItemModel::dataChanged, this,
            [publish](const QModelIndex& from, const QModelIndex& to) {
                if (from.column() <= ids::kColMarket && to.column() >= ids::kColCode) publish();
            });
}

QTimer& CQuoteDlg::TimerOf(int id) {
    return id == ids::kTimerRefresh ? m_refresh.m_timerRefresh : m_tray.m_timerTip;
}

void CQuoteDlg::SetTimer(int id, int periodMs) {
    TimerOf(id).start(periodMs);
}

void CQuoteDlg::KillTimer(int id) {
    TimerOf(id).stop();
}

}  // namespace tickora
