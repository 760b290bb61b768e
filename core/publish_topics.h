// The MQTT topics of a poll: PREFIX/NAME/{status,link,poll,channel/N,relay/K}, all retained.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "core/poll_snapshot.h"

namespace kvel {

using TopicMessage = std::pair<std::string, std::string>;  // topic, payload

// The value with "." and two decimals; empty without a reading.
std::string channelPayload(const std::optional<double>& value);
// "2026-12-08T03:04:05+03:00"
std::string isoTime(std::time_t at, int utcOffsetSeconds);
// One JSON object: time, link, channels (number, name, value or null), relays.
std::string pollJson(const PollSnapshot& snapshot);
// Every topic of the poll but status, in the order they are sent: link, channels, relays, poll.
std::vector<TopicMessage> pollMessages(const std::string& base, const PollSnapshot& snapshot);

}  // namespace kvel
