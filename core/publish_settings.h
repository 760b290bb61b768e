// Where the readings are published: an MQTT broker and a Prometheus endpoint, from mem.ini's
// [publish] and, for kvelctl serve, its options.
#pragma once
#include <optional>
#include <string>

#include "config/mem_ini.h"

namespace kvel {

struct HostPort {
    std::string host;
    int port = 0;
    bool operator==(const HostPort&) const = default;
};

// "host:port", "[v6]:port", or a host alone when `defaultPort` is given (> 0); a port alone
// (":9108" or "9108") takes `defaultHost`. None, with the reason in `error`, otherwise.
std::optional<HostPort> parseHostPort(const std::string& text, const std::string& defaultHost,
                                      int defaultPort, std::string& error);

struct PublishSettings {
    std::optional<HostPort> mqtt;     // none: no broker
    std::string name;                 // the topics' second level
    std::string prefix = "kvelview";  // the first
    std::string user;
    std::string password;  // read from password_file
    std::string tlsCa;
    std::optional<HostPort> metrics;  // none: no endpoint

    bool any() const { return mqtt || metrics; }
    bool operator==(const PublishSettings&) const = default;
};

// The options that override mem.ini; empty ones leave its value.
struct PublishOverrides {
    std::string mqtt;
    std::string name;
    std::string metrics;
};

// Reads [publish] with the overrides. Every value that cannot be used is refused: none is
// returned and `error` names the key and why.
std::optional<PublishSettings> readPublishSettings(const MemIni& ini,
                                                   const PublishOverrides& overrides,
                                                   std::string& error);

// The host name, the monitor's default name.
std::string hostName();

}  // namespace kvel
