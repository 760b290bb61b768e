#pragma once
#include <string>
#include <utility>
#include <vector>

#include "link/text_mark.h"

namespace kvel {

// Why a field was refused: the marked text (context "KvelView") with %1, %2 … for the field's
// numbers, so that the windows show it translated and kvelctl shows it as written.
struct FieldRefusal {
    FieldRefusal() = default;
    FieldRefusal(const char* marked, std::vector<std::string> numbers = {})
        : source(marked), args(std::move(numbers)) {}

    const char* source = "";
    std::vector<std::string> args;

    // The text as written, %1, %2 … filled in.
    std::string text() const;
    bool operator==(const FieldRefusal& other) const { return text() == other.text(); }
};

// Any other marked text with its numbers and names, made below the windows and shown
// translated (a port-open failure, a notice of the port).
using MarkedText = FieldRefusal;

// Fills %1 … %9 of `source` with `args` in order, as QString::arg does for texts like ours.
std::string fillArgs(const std::string& source, const std::vector<std::string>& args);

}  // namespace kvel
