// Runs on a private session bus of its own (dbus-run-session), where this test is the
// desktop's notification service.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QVariantMap>

#include "core/alarm_center.h"
#include "tests/common/temp_dir.h"

namespace kvel {
namespace {

const QString kService = "org.freedesktop.Notifications";
const QString kPath = "/org/freedesktop/Notifications";

class NotificationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
  public:
    struct Call {
        QString summary, body;
        QVariantMap hints;
    };
    std::vector<Call> calls;

  public slots:
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
                const QStringList&, const QVariantMap& hints, int) {
        calls.push_back({summary, body, hints});
        return static_cast<uint>(calls.size());
    }
    QString GetServerInformation(QString& vendor, QString& version, QString& protocolVersion) {
        vendor = "test";
        version = "1";
        protocolVersion = "1.2";
        return "listener";
    }
};

bool WaitFor(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

class DesktopNotifications : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(QDBusConnection::sessionBus().isConnected())
            << "run under dbus-run-session: "
            << qPrintable(QDBusConnection::sessionBus().lastError().message());
        ini.writeString("alarms", "high1", "50");
        ini.writeString("alarms", "log", dir.File("alarms.txt"));
    }
    void TearDown() override {
        listener.unregisterObject(kPath);
        listener.unregisterService(kService);
    }
    void Listen() {
        ASSERT_TRUE(listener.registerService(kService));
        ASSERT_TRUE(listener.registerObject(kPath, &service, QDBusConnection::ExportAllSlots));
    }
    void Over(double value) { center.evaluate({at += 5, true, {value, 20.0}}); }

    test::TempDir dir;
    MemIni ini{dir.File("mem.ini")};
    AlarmCenter center{ini};
    // The service on a connection of its own, as the desktop's would be.
    QDBusConnection listener =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, "listener");
    NotificationService service;
    std::time_t at = 1'700'000'000;
};

TEST_F(DesktopNotifications, EveryRaiseIsOneCriticalNotification) {
    Listen();
    QSignalSpy unavailable(&center.notifier(), &DesktopNotifier::unavailable);
    center.loadRules();  // asks the service at once
    Over(55.5);
    Over(56);  // still raised: no second notification
    Over(20);  // cleared: none either
    Over(51.25);
    ASSERT_TRUE(WaitFor([&] { return service.calls.size() >= 2; }));
    QCoreApplication::processEvents();
    ASSERT_EQ(service.calls.size(), 2u);
    EXPECT_EQ(service.calls[0].summary, "Тревога: канал 1, выше предела");
    EXPECT_EQ(service.calls[0].body, "1: 55.50 гр.С, предел 50.00 гр.С");
    EXPECT_EQ(service.calls[1].body, "1: 51.25 гр.С, предел 50.00 гр.С");
    EXPECT_EQ(service.calls[0].hints.value("urgency").toInt(), 2);
    EXPECT_EQ(unavailable.count(), 0);
}

TEST_F(DesktopNotifications, NoServiceIsSaidOnceAndNothingElseChanges) {
    QSignalSpy unavailable(&center.notifier(), &DesktopNotifier::unavailable);
    center.loadRules();
    Over(55);
    Over(20);
    Over(55);
    ASSERT_TRUE(WaitFor([&] { return unavailable.count() > 0; }));
    QCoreApplication::processEvents(QEventLoop::AllEvents, 200);
    EXPECT_EQ(unavailable.count(), 1);
    EXPECT_EQ(center.monitor().unacknowledgedCount(), 2);
    const std::string log = test::ReadBytes(dir.File("alarms.txt"));
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 4);  // header, raised, cleared, raised
}

}  // namespace
}  // namespace kvel

#include "desktop_notifier_test.moc"
