#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace kvel {

// What a box shows beside its text: what the port had to tell is information, every other
// message is shown plain.
enum class MessageKind { Plain, Information };

// Every message box of the program goes through this one sink: the program installs one
// that shows a box without owner window, tests install one that records what would be shown.
using MessageSink =
    std::function<void(const std::string& text, const std::string& caption, MessageKind kind)>;
// A sink that takes only the text and the caption (a recorder that does not care for the icon).
using TextSink = std::function<void(const std::string& text, const std::string& caption)>;

void setMessageSink(MessageSink sink);
void setMessageSink(TextSink sink);
void setMessageSink(std::nullptr_t);
// The sink in force, so that a caller may put it back after replacing it for a while.
MessageSink currentMessageSink();
// Shows a box through the sink. The same box (text and caption) is not shown a second time
// while the first still waits for its OK: a failure that repeats at every poll makes one box.
void showMessage(const std::string& text, const std::string& caption,
                 MessageKind kind = MessageKind::Plain);

// A box to be shown: a job of the link thread returns its boxes with its result, and the GUI
// thread shows them after it has shown the result.
struct Message {
    std::string text;
    std::string caption;
    MessageKind kind = MessageKind::Plain;
    bool operator==(const Message&) const = default;
};
using Messages = std::vector<Message>;
void showMessages(const Messages& messages);

}  // namespace kvel
