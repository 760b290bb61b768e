#include "core/metrics_server.h"

#include <QHostAddress>
#include <QHttpServer>
#include <QHttpServerResponse>

namespace kvel {

MetricsServer::MetricsServer() : server_(std::make_unique<QHttpServer>()) {
    server_->route("/metrics", [this] {
        return QHttpServerResponse("text/plain; version=0.0.4; charset=utf-8", text_);
    });
}

MetricsServer::~MetricsServer() = default;

bool MetricsServer::listen(const HostPort& address, std::string& error) {
    QHostAddress host;
    if (address.host == "localhost") {
        host = QHostAddress(QHostAddress::LocalHost);
    } else if (address.host == "*") {
        host = QHostAddress(QHostAddress::Any);
    } else if (!host.setAddress(QString::fromStdString(address.host))) {
        error = "'" + address.host + "' is no IP address of this computer (127.0.0.1, 0.0.0.0)";
        return false;
    }
    port_ = server_->listen(host, static_cast<quint16>(address.port));
    if (port_ == 0) {
        error = address.host + ":" + std::to_string(address.port) +
                ": cannot listen (the port is taken or the address is not this computer's)";
        return false;
    }
    return true;
}

void MetricsServer::setText(std::string text) {
    text_ = QByteArray::fromStdString(text);
}

}  // namespace kvel
