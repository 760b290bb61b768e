#include "link/message_sink.h"

#include <cstdio>
#include <utility>

namespace kvel {
namespace {

MessageSink& Sink() {
    static MessageSink sink = [](const std::string& text, const std::string& caption) {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    };
    return sink;
}

}  // namespace

void SetMessageSink(MessageSink sink) {
    Sink() = std::move(sink);
}

MessageSink CurrentMessageSink() {
    return Sink();
}

void ShowMessage(const std::string& text, const std::string& caption) {
    if (Sink()) Sink()(text, caption);
}

}  // namespace kvel
