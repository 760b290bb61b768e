#include "core/desktop_notifier.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace kvel {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
constexpr unsigned char kUrgencyCritical = 2;

}  // namespace

void DesktopNotifier::notify(const QString& summary, const QString& body) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        fail(bus.lastError().message());
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, "Notify");
    QVariantMap hints;
    hints.insert("urgency", QVariant::fromValue(kUrgencyCritical));
    // app name, replaces id, icon, summary, body, actions, hints, timeout (-1: the server's)
    call << QStringLiteral("KvelView") << 0u << QStringLiteral("kvelview") << summary << body
         << QStringList() << hints << -1;
    watch(bus.asyncCall(call));
}

void DesktopNotifier::probe() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        fail(bus.lastError().message());
        return;
    }
    watch(bus.asyncCall(
        QDBusMessage::createMethodCall(kService, kPath, kService, "GetServerInformation")));
}

void DesktopNotifier::watch(const QDBusPendingCall& call) {
    auto* watcher = new QDBusPendingCallWatcher(call, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        if (w->isError()) fail(w->error().message());
        w->deleteLater();
    });
}

void DesktopNotifier::fail(const QString& reason) {
    // Said once: a desktop without the service stays without it.
    if (failed_) return;
    failed_ = true;
    emit unavailable(reason.isEmpty() ? QCoreApplication::translate("KvelView", "нет сеанса D-Bus")
                                      : reason);
}

}  // namespace kvel
