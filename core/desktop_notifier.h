#pragma once
#include <QObject>
#include <QString>

class QDBusPendingCall;

namespace kvel {

// Desktop notifications through the desktop's notification service (freedesktop
// Notifications on the session bus). Calls are asynchronous: the program never waits for the
// desktop. Without a bus or a service it says so once (`unavailable`) and carries on.
class DesktopNotifier : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    // A critical notification.
    void notify(const QString& summary, const QString& body);
    // Asks the service who it is, so that a missing one is known before the first alarm.
    void probe();
    bool failed() const { return failed_; }

  signals:
    void unavailable(const QString& reason);

  private:
    void watch(const QDBusPendingCall& call);
    void fail(const QString& reason);

    bool failed_ = false;
};

}  // namespace kvel
