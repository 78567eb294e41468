#include "tray/tray_host.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QSystemTrayIcon>

namespace tickora {

namespace {

// Whether a status-notifier host is registered with the watcher on the session bus. A
// silent bus must not hold the window: the question is given half a second.
bool StatusNotifierHostRegistered() {
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) return false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.kde.StatusNotifierWatcher"), QStringLiteral("/StatusNotifierWatcher"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    call << QStringLiteral("org.kde.StatusNotifierWatcher")
         << QStringLiteral("IsStatusNotifierHostRegistered");
    const QDBusMessage reply = bus.call(call, QDBus::Block, 500);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           reply.arguments().constFirst().value<QDBusVariant>().variant().toBool();
}

class DesktopTrayHost final : public TrayHost {
  public:
    TrayHostKind Kind() override {
        if (!QSystemTrayIcon::isSystemTrayAvailable()) return TrayHostKind::None;
        return StatusNotifierHostRegistered() ? TrayHostKind::StatusNotifier : TrayHostKind::XEmbed;
    }
};

}  // namespace

std::shared_ptr<TrayHost> MakeDesktopTrayHost() {
    return std::make_shared<DesktopTrayHost>();
}

}  // namespace tickora
