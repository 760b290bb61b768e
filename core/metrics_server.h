// The Prometheus endpoint: GET /metrics answers the last poll's text; a scrape never touches
// the line. It runs on the thread that made it, in that thread's event loop.
#pragma once
#include <QByteArray>
#include <memory>
#include <string>

#include "core/publish_settings.h"

class QHttpServer;

namespace kvel {

class MetricsServer {
  public:
    MetricsServer();
    ~MetricsServer();
    MetricsServer(const MetricsServer&) = delete;
    MetricsServer& operator=(const MetricsServer&) = delete;

    // False with the reason in `error` when the address is no local one or is taken.
    bool listen(const HostPort& address, std::string& error);
    // The port listened on (the one chosen when 0 was asked for).
    int port() const { return port_; }
    void setText(std::string text);

  private:
    std::unique_ptr<QHttpServer> server_;
    QByteArray text_;
    int port_ = 0;
};

}  // namespace kvel
