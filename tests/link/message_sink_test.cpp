#include "link/message_sink.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kvel {
namespace {

// While a box is open the same box is not shown again (the next poll's failure would stack
// one box on another); another box is, and the same one once the first has closed.
TEST(MessageSink, SameBoxIsNotShownAgainWhileItIsOpen) {
    std::vector<std::string> shown;
    setMessageSink([&](const std::string& text, const std::string&) {
        shown.push_back(text);
        if (shown.size() == 1) {
            showMessage("port refused", "GetLastError");
            showMessage("other", "GetLastError");
        }
    });
    showMessage("port refused", "GetLastError");
    showMessage("port refused", "GetLastError");
    setMessageSink(nullptr);
    EXPECT_EQ(shown, (std::vector<std::string>{"port refused", "other", "port refused"}));
}

// The kind of a message reaches the sink (the box's icon comes from it, never from the
// caption); a sink that takes only text and caption still gets every message.
TEST(MessageSink, KindTravelsToTheSink) {
    std::vector<MessageKind> kinds;
    setMessageSink(
        [&](const std::string&, const std::string&, MessageKind kind) { kinds.push_back(kind); });
    showMessage("/dev/null: refused", "GetLastError", MessageKind::Information);
    showMessage("text", "GetLastError");
    EXPECT_EQ(kinds, (std::vector<MessageKind>{MessageKind::Information, MessageKind::Plain}));
    std::vector<std::string> texts;
    setMessageSink([&](const std::string& text, const std::string&) { texts.push_back(text); });
    showMessage("notice", "GetLastError", MessageKind::Information);
    setMessageSink(nullptr);
    showMessage("nobody sees this", "KvelView");
    EXPECT_EQ(texts, std::vector<std::string>{"notice"});
}

}  // namespace
}  // namespace kvel
