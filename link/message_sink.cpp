#include "link/message_sink.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

namespace kvel {
namespace {

MessageSink& storedSink() {
    static MessageSink sink = [](const std::string& text, const std::string& caption, MessageKind) {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    };
    return sink;
}

}  // namespace

void setMessageSink(MessageSink sink) {
    storedSink() = std::move(sink);
}

void setMessageSink(TextSink sink) {
    if (!sink) {
        storedSink() = nullptr;
        return;
    }
    storedSink() = [sink = std::move(sink)](const std::string& text, const std::string& caption,
                                            MessageKind) { sink(text, caption); };
}

void setMessageSink(std::nullptr_t) {
    storedSink() = nullptr;
}

MessageSink currentMessageSink() {
    return storedSink();
}

void showMessage(const std::string& text, const std::string& caption, MessageKind kind) {
    // Boxes are shown by one thread only, so this list needs no lock.
    static std::vector<std::pair<std::string, std::string>> open;
    const std::pair<std::string, std::string> box{text, caption};
    if (std::find(open.begin(), open.end(), box) != open.end()) return;
    const MessageSink sink = storedSink();  // a box may replace the sink while it is open
    if (!sink) return;
    open.push_back(box);
    sink(text, caption, kind);
    open.erase(std::find(open.begin(), open.end(), box));
}

void showMessages(const Messages& messages) {
    for (const Message& m : messages) showMessage(m.text, m.caption, m.kind);
}

}  // namespace kvel
