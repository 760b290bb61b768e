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

}  // namespace
}  // namespace kvel
