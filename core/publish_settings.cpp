#include "core/publish_settings.h"

#include <unistd.h>

#include <charconv>
#include <climits>
#include <fstream>

namespace kvel {
namespace {

std::optional<int> portNumber(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, value);
    if (text.empty() || r.ec != std::errc() || r.ptr != end || value < 1 || value > 65535)
        return std::nullopt;
    return value;
}

// A topic level may hold neither the wildcards nor the separator.
bool validLevel(const std::string& level) {
    return !level.empty() && level.find_first_of("/+#") == std::string::npos &&
           level.find('\0') == std::string::npos;
}

}  // namespace

std::optional<HostPort> parseHostPort(const std::string& text, const std::string& defaultHost,
                                      int defaultPort, std::string& error) {
    const std::string bad = "'" + text + "' is not host:port with a port in 1..65535";
    if (text.empty()) {
        error = "empty: host:port expected";
        return std::nullopt;
    }
    std::string host = text;
    std::string port;
    if (text.front() == '[') {
        const auto close = text.find(']');
        if (close == std::string::npos) {
            error = bad;
            return std::nullopt;
        }
        host = text.substr(1, close - 1);
        const std::string rest = text.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':') {
                error = bad;
                return std::nullopt;
            }
            port = rest.substr(1);
        }
    } else if (const auto colon = text.rfind(':'); colon != std::string::npos) {
        if (text.find(':') != colon) {
            error = "'" + text + "': an IPv6 address goes in brackets, [::1]:1883";
            return std::nullopt;
        }
        host = text.substr(0, colon);
        port = text.substr(colon + 1);
    } else if (portNumber(text)) {
        host.clear();
        port = text;
    }
    if (host.empty()) host = defaultHost;
    if (port.empty() && text.find(':') == std::string::npos && defaultPort > 0) {
        return HostPort{host, defaultPort};
    }
    const auto number = portNumber(port);
    if (host.empty() || !number) {
        error = bad;
        return std::nullopt;
    }
    return HostPort{host, *number};
}

std::string hostName() {
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return "kvelview";
    return name;
}

std::optional<PublishSettings> readPublishSettings(const MemIni& ini,
                                                   const PublishOverrides& overrides,
                                                   std::string& error) {
    PublishSettings s;
    const auto fail = [&error](const std::string& key, const std::string& why) {
        error = key + ": " + why;
        return std::nullopt;
    };
    std::string why;
    const std::string mqtt =
        overrides.mqtt.empty() ? ini.readString(keys::kPublishMqtt) : overrides.mqtt;
    if (!mqtt.empty()) {
        s.mqtt = parseHostPort(mqtt, "localhost", 1883, why);
        if (!s.mqtt) return fail("mqtt", why);
    }
    const std::string metrics =
        overrides.metrics.empty() ? ini.readString(keys::kPublishMetrics) : overrides.metrics;
    if (!metrics.empty()) {
        // Loopback unless a host is named: the readings are not for every network by default.
        s.metrics = parseHostPort(metrics, "127.0.0.1", 0, why);
        if (!s.metrics) return fail("metrics", why);
    }
    s.name = overrides.name.empty() ? ini.readString(keys::kPublishName) : overrides.name;
    if (s.name.empty()) s.name = hostName();
    if (!validLevel(s.name)) return fail("name", "'" + s.name + "' may not hold '/', '+' or '#'");
    s.prefix = ini.readString(keys::kPublishPrefix);
    if (!validLevel(s.prefix)) {
        return fail("prefix", "'" + s.prefix + "' may not be empty or hold '/', '+' or '#'");
    }
    s.user = ini.readString(keys::kPublishUser);
    s.tlsCa = ini.readString(keys::kPublishTlsCa);
    if (!s.tlsCa.empty() && !std::ifstream(s.tlsCa)) {
        return fail("tls_ca", "cannot read '" + s.tlsCa + "'");
    }
    const std::string passwordFile = ini.readString(keys::kPublishPasswordFile);
    if (!passwordFile.empty()) {
        std::ifstream in(passwordFile);
        if (!in) return fail("password_file", "cannot read '" + passwordFile + "'");
        std::getline(in, s.password);
        if (!s.password.empty() && s.password.back() == '\r') s.password.pop_back();
        if (s.user.empty()) return fail("password_file", "set, but no user");
    }
    return s;
}

}  // namespace kvel
