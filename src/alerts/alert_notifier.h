#pragma once
// Where a fired alert goes: the desktop's notification service in the program, a recorder in
// tests.

#include <QDBusConnection>
#include <QImage>
#include <functional>
#include <memory>

#include "alerts/alert_rules.h"

class QObject;

namespace tickora {

class AlertNotifier {
  public:
    virtual ~AlertNotifier() = default;
    // Hands the notice over and returns at once, never waiting for the desktop. Later, on the
    // UI thread, clicked runs when the user clicks the notice, or undelivered when no service
    // took it; neither runs once context is gone.
    virtual void Notify(const AlertNotice& notice, QObject* context, std::function<void()> clicked,
                        std::function<void()> undelivered) = 0;
};

// org.freedesktop.Notifications on bus: Notify by an asynchronous call with the "default"
// action, and ActionInvoked for the click. icon is the program's picture.
std::shared_ptr<AlertNotifier> MakeDBusAlertNotifier(const QDBusConnection& bus,
                                                     const QImage& icon);

}  // namespace tickora
