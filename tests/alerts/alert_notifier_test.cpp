// The D-Bus notifier against real buses: a private dbus-daemon with no service on it, no bus at
// all, and dunst on its own bus and Xvfb display, read back with dunstctl.

#include "alerts/alert_notifier.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <QDBusConnectionInterface>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <chrono>
#include <iostream>

#include "../app/window_fixture.h"

namespace tickora::test {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");

// The first line a started program writes to fd, within 10 s; "" for none.
std::string ReadLine(int fd) {
    std::string text;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (text.find('\n') == std::string::npos && std::chrono::steady_clock::now() < end) {
        pollfd wait{fd, POLLIN, 0};
        char bytes[64];
        if (::poll(&wait, 1, 100) <= 0) continue;
        const ssize_t n = ::read(fd, bytes, sizeof bytes);
        if (n <= 0) break;
        text.append(bytes, static_cast<std::size_t>(n));
    }
    return text.substr(0, text.find('\n'));
}

// Starts program with its fd 3 as a pipe and returns the first line written there.
std::string StartWithFd3(QProcess& process, const QString& program, const QStringList& args) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return "";
    process.setChildProcessModifier(
        [w = fds[1]] { w == 3 ? ::fcntl(3, F_SETFD, 0) : ::dup2(w, 3); });
    process.start(program, args);
    ::close(fds[1]);
    const std::string line = process.waitForStarted(10000) ? ReadLine(fds[0]) : "";
    ::close(fds[0]);
    return line;
}

struct Outcome {
    int clicked = 0, undelivered = 0;
};

class AlertNotifierTest : public ::testing::Test {
  protected:
    void SetUp() override { App(); }
    void TearDown() override {
        for (QProcess* helper : {&monitor_, &dunst_, &xvfb_, &bus_}) {
            helper->terminate();
            helper->waitForFinished(5000);
        }
    }

    // A private session bus that activates nothing; its address.
    std::string StartBus() {
        dir_.Write("bus.conf",
                   "<busconfig><type>session</type><listen>unix:tmpdir=" + dir_.path().string() +
                       "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow "
                       "send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                       "<allow own=\"*\"/></policy></busconfig>");
        return StartWithFd3(bus_, "dbus-daemon",
                            {QString::fromStdString("--config-file=" + dir_.file("bus.conf")),
                             "--nofork", "--print-address=3"});
    }
    // Xvfb and dunst on the bus; why they do not run, or "".
    std::string StartDunst(const std::string& address, const QDBusConnection& bus) {
        for (const char* tool : {"Xvfb", "dunst", "dunstctl"})
            if (QStandardPaths::findExecutable(tool).isEmpty())
                return tool + std::string(" is missing");
        xvfb_.setStandardOutputFile(QProcess::nullDevice());
        xvfb_.setStandardErrorFile(QProcess::nullDevice());
        const std::string display = StartWithFd3(
            xvfb_, "Xvfb", {"-displayfd", "3", "-screen", "0", "640x480x24", "-nolisten", "tcp"});
        if (display.empty()) return "Xvfb did not start";
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert("DISPLAY", QString::fromStdString(":" + display));
        env_.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromStdString(address));
        env_.insert("XDG_CONFIG_HOME", QString::fromStdString(dir_.file("config")));
        dunst_.setProcessEnvironment(env_);
        dunst_.setProcessChannelMode(QProcess::MergedChannels);
        dunst_.start("dunst", {});
        if (!WaitUntil([&] { return bus.interface()->isServiceRegistered(kService).value(); },
                       10000))
            return "dunst did not start: " + dunst_.readAll().toStdString();
        return "";
    }
    // Prints the Notify calls on the bus from now on; false when it did not start.
    bool StartMonitor(const std::string& address) {
        monitor_.start("dbus-monitor", {"--address", QString::fromStdString(address),
                                        "type='method_call',member='Notify'"});
        return WaitUntil([&] { return Monitored().contains("NameLost"); }, 10000);
    }
    const QString& Monitored() {
        monitored_ += QString::fromUtf8(monitor_.readAllStandardOutput());
        return monitored_;
    }
    QByteArray Dunstctl(const QStringList& args) {
        QProcess ctl;
        ctl.setProcessEnvironment(env_);
        ctl.start("dunstctl", args);
        ctl.waitForFinished(10000);
        return ctl.readAllStandardOutput().trimmed();
    }
    static void Send(AlertNotifier& notifier, QObject* context, Outcome& outcome) {
        // A page's text in the body could hold markup; a server must show it as it is.
        const AlertNotice notice{Sj("8058 東西精機"),
                                 Sj("現在値 4,775 が上限 4,700 以上になりました（<b>09:02</b>）")};
        notifier.Notify(
            notice, context, [&] { ++outcome.clicked; }, [&] { ++outcome.undelivered; });
    }

    TempDir dir_;
    QProcessEnvironment env_;
    QProcess bus_, xvfb_, dunst_, monitor_;  // ended in the reverse order
    QString monitored_;
};

// No service on the bus, or no bus: the call fails and the fallback runs, once per notice,
// and a notice whose window has gone calls back nothing.
TEST_F(AlertNotifierTest, WithoutAServiceEveryNoticeTakesTheFallback) {
    const std::string address = StartBus();
    ASSERT_FALSE(address.empty()) << "dbus-daemon did not start";
    for (const std::string& to : {address, "unix:path=" + dir_.file("no-bus")}) {
        const QDBusConnection bus =
            QDBusConnection::connectToBus(QString::fromStdString(to), QString::fromStdString(to));
        const auto notifier = MakeDBusAlertNotifier(bus, QImage());
        QObject window;
        auto gone = std::make_unique<QObject>();
        Outcome outcome, lost;
        Send(*notifier, gone.get(), lost);
        gone.reset();
        Send(*notifier, &window, outcome);
        Send(*notifier, &window, outcome);
        // Replies come in order: the first notice's would have come before these.
        EXPECT_TRUE(WaitUntil([&] { return outcome.undelivered == 2; }, 15000)) << to;
        EXPECT_EQ(outcome.clicked + lost.clicked + lost.undelivered, 0) << to;
    }
}

TEST_F(AlertNotifierTest, ANoticeReachesDunstAndItsClickComesBack) {
    const std::string address = StartBus();
    ASSERT_FALSE(address.empty()) << "dbus-daemon did not start";
    const QDBusConnection bus =
        QDBusConnection::connectToBus(QString::fromStdString(address), "dunst");
    const std::string why = StartDunst(address, bus);
    QImage icon(32, 32, QImage::Format_ARGB32);
    icon.fill(Qt::red);
    const auto notifier = MakeDBusAlertNotifier(bus, icon);
    ASSERT_TRUE(StartMonitor(address));
    QObject window;
    Outcome outcome;
    Send(*notifier, &window, outcome);
    // The call names the program and carries its picture as (iiibiiay): 32x32 RGBA rows.
    const QRegularExpression call(
        R"(string "TICKORA株価"\s+uint32 0\s+string "tickora"\s+string "8058 東西精機"\s+)"
        R"(string "[^"]*（&lt;b&gt;09:02&lt;/b&gt;）"[\s\S]*"image-data"\s+variant\s+struct )"
        R"(\{\s+int32 32\s+int32 32\s+int32 128\s+boolean true\s+int32 8\s+int32 4\s+array of bytes)");
    EXPECT_TRUE(WaitUntil([&] { return call.match(Monitored()).hasMatch(); }, 10000))
        << Monitored().toStdString();
    if (!why.empty()) {
        std::cout << "no notification server here (" << why
                  << "); the fallback is checked instead\n";
        RecordProperty("checked", "fallback");
        EXPECT_TRUE(WaitUntil([&] { return outcome.undelivered == 1; }, 15000));
        return;
    }
    ASSERT_TRUE(WaitUntil([&] { return Dunstctl({"count", "displayed"}) == "1"; }, 10000));
    Dunstctl({"action", "0"});
    EXPECT_TRUE(WaitUntil([&] { return outcome.clicked == 1; }, 10000));
    Dunstctl({"close"});
    ASSERT_TRUE(WaitUntil([&] { return Dunstctl({"count", "history"}) == "1"; }, 10000));
    const QJsonObject shown =
        QJsonDocument::fromJson(Dunstctl({"history"}))["data"][0][0].toObject();
    const auto field = [&](const char* name) {
        return shown[name]["data"].toString().toStdString();
    };
    EXPECT_EQ(field("summary"), "8058 東西精機");
    EXPECT_TRUE(field("body").starts_with("現在値 4,775 が上限 4,700 以上になりました"));
    EXPECT_EQ(field("appname"), "TICKORA株価");
    EXPECT_EQ(field("default_action_name"), "default");
    EXPECT_EQ(outcome.undelivered, 0);
}

}  // namespace
}  // namespace tickora::test
