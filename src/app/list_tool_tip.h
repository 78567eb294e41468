#pragma once
// The watch list's tooltip: one fixed text for the whole list, and under it a row's own line
// (its alert) when it has one; shown after the pointer rests for the initial delay and kept
// up for the auto-pop delay. Shown also while the window is inactive.

#include <QObject>
#include <QPoint>
#include <QString>
#include <QTimer>
#include <functional>

class QWidget;

namespace tickora {

class ListToolTip : public QObject {
    Q_OBJECT
  public:
    static constexpr int kInitialDelayMs = 1000;
    static constexpr int kReshowDelayMs = 1000;
    static constexpr int kAutoPopMs = 32767;

    // Watches area (the list's viewport) for pointer rests.
    ListToolTip(QWidget* area, QString text, QObject* parent = nullptr);

    const QString& Text() const { return text_; }
    // A line the tip adds under its text for a place in the area (a row's), when not empty.
    void SetLineAt(std::function<QString(QPoint pos)> lineAt) { lineAt_ = std::move(lineAt); }
    // What the tip shows at pos.
    QString TextAt(QPoint pos) const;
    // The delay before the tip appears at the next rest (the initial delay, or the
    // re-show delay after a tip has been shown).
    int PendingDelayMs() const { return timer_.interval(); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Show();

    QWidget* area_;
    QString text_;
    std::function<QString(QPoint pos)> lineAt_;
    QTimer timer_;
    QPoint lastPos_;
    bool shown_ = false;
};

}  // namespace tickora
