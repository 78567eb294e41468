#pragma once
// The watch list's tooltip: one fixed text for the whole list, shown after the pointer
// rests for the initial delay and kept up for the auto-pop delay. Shown also while the
// window is inactive.

#include <QObject>
#include <QPoint>
#include <QString>
#include <QTimer>

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
    // The delay before the tip appears at the next rest (the initial delay, or the
    // re-show delay after a tip has been shown).
    int PendingDelayMs() const { return timer_.interval(); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Show();

    QWidget* area_;
    QString text_;
    QTimer timer_;
    QPoint lastPos_;
    bool shown_ = false;
};

}  // namespace tickora
