#pragma once
#include <functional>
#include <string>

namespace kvel {

// Every message box of the program goes through this one sink: the program installs one
// that shows a box without owner window, tests install one that records what would be shown.
using MessageSink = std::function<void(const std::string& text, const std::string& caption)>;

void setMessageSink(MessageSink sink);
// The sink in force, so that a caller may put it back after replacing it for a while.
MessageSink currentMessageSink();
void showMessage(const std::string& text, const std::string& caption);

}  // namespace kvel
