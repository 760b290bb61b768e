#include "link/message_sink.h"

#include <cstdio>
#include <utility>

namespace kvel {
namespace {

MessageSink& storedSink() {
    static MessageSink sink = [](const std::string& text, const std::string& caption) {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    };
    return sink;
}

}  // namespace

void setMessageSink(MessageSink sink) {
    storedSink() = std::move(sink);
}

MessageSink currentMessageSink() {
    return storedSink();
}

void showMessage(const std::string& text, const std::string& caption) {
    if (storedSink()) storedSink()(text, caption);
}

}  // namespace kvel
