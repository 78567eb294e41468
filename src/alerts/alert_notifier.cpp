#include "alerts/alert_notifier.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <map>

#include "common/codepage.h"
#include "ui/plain_text.h"

namespace tickora {

// The "image-data" hint: raw RGBA rows, (iiibiiay).
struct NotifyImage {
    int width = 0, height = 0, rowStride = 0;
    bool alpha = true;
    int bitsPerSample = 8, channels = 4;
    QByteArray data;
};

QDBusArgument& operator<<(QDBusArgument& arg, const NotifyImage& image) {
    arg.beginStructure();
    arg << image.width << image.height << image.rowStride << image.alpha << image.bitsPerSample
        << image.channels << image.data;
    arg.endStructure();
    return arg;
}

const QDBusArgument& operator>>(const QDBusArgument& arg, NotifyImage& image) {
    arg.beginStructure();
    arg >> image.width >> image.height >> image.rowStride >> image.alpha >> image.bitsPerSample >>
        image.channels >> image.data;
    arg.endStructure();
    return arg;
}

}  // namespace tickora

Q_DECLARE_METATYPE(tickora::NotifyImage)

namespace tickora {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
// A service that has not answered by then counts as none; the fallback takes over.
constexpr int kCallTimeoutMs = 10000;

NotifyImage ImageOf(const QImage& icon) {
    if (icon.isNull()) return {};
    const QImage rgba = icon.convertToFormat(QImage::Format_RGBA8888);
    NotifyImage image;
    image.width = rgba.width();
    image.height = rgba.height();
    image.rowStride = static_cast<int>(rgba.bytesPerLine());
    image.data = QByteArray(reinterpret_cast<const char*>(rgba.constBits()),
                            static_cast<qsizetype>(rgba.sizeInBytes()));
    return image;
}

class DBusAlertNotifier final : public QObject, public AlertNotifier {
    Q_OBJECT
  public:
    DBusAlertNotifier(const QDBusConnection& bus, const QImage& icon)
        : bus_(bus), icon_(ImageOf(icon)) {
        qDBusRegisterMetaType<NotifyImage>();
        bus_.connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this,
                     SLOT(OnActionInvoked(uint, QString)));
        bus_.connect(kService, kPath, kService, QStringLiteral("NotificationClosed"), this,
                     SLOT(OnClosed(uint, uint)));
    }

    void Notify(const AlertNotice& notice, QObject* context, std::function<void()> clicked,
                std::function<void()> undelivered) override {
        QDBusMessage call =
            QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
        QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("tickora")}};
        if (!icon_.data.isEmpty()) hints[QStringLiteral("image-data")] = QVariant::fromValue(icon_);
        call << QString::fromUtf8("TICKORA株価") << 0u
             << QStringLiteral("tickora")
             // A server may read markup in the body: the page's texts in it are shown as
             // they are, never obeyed.
             << Shown(notice.summary) << Shown(notice.body).toHtmlEscaped()
             << QStringList{QStringLiteral("default"), QString::fromUtf8("開く")} << hints << -1;
        if (!bus_.isConnected()) {
            // No bus at all: no call to wait for, and still no answer before this returns.
            QTimer::singleShot(0, context, std::move(undelivered));
            return;
        }
        auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, kCallTimeoutMs), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this,
                [this, guard = QPointer<QObject>(context), clicked = std::move(clicked),
                 undelivered = std::move(undelivered)](QDBusPendingCallWatcher* done) {
                    done->deleteLater();
                    const QDBusPendingReply<uint> reply = *done;
                    if (!guard) return;
                    if (reply.isError())
                        undelivered();
                    else
                        clicks_[reply.value()] = {guard, clicked};
                });
    }

  private slots:
    void OnActionInvoked(uint id, const QString& action) {
        const auto it = clicks_.find(id);
        if (it == clicks_.end() || action != QStringLiteral("default")) return;
        const Click click = it->second;
        clicks_.erase(it);
        if (click.context) click.run();
    }
    void OnClosed(uint id, uint /*reason*/) { clicks_.erase(id); }

  private:
    struct Click {
        QPointer<QObject> context;
        std::function<void()> run;
    };
    QDBusConnection bus_;
    NotifyImage icon_;
    std::map<uint, Click> clicks_;  // notices on screen, by the service's id
};

}  // namespace

std::shared_ptr<AlertNotifier> MakeDBusAlertNotifier(const QDBusConnection& bus,
                                                     const QImage& icon) {
    return std::make_shared<DBusAlertNotifier>(bus, icon);
}

}  // namespace tickora

#include "alert_notifier.moc"
