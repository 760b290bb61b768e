#include "link/field_refusal.h"

namespace kvel {

std::string fillArgs(const std::string& source, const std::vector<std::string>& args) {
    std::string out;
    for (std::size_t i = 0; i < source.size(); ++i) {
        const char next = i + 1 < source.size() ? source[i + 1] : '\0';
        if (source[i] == '%' && next >= '1' && next <= '9') {
            const std::size_t n = static_cast<std::size_t>(next - '1');
            if (n < args.size()) {
                out += args[n];
                ++i;
                continue;
            }
        }
        out += source[i];
    }
    return out;
}

std::string FieldRefusal::text() const {
    return fillArgs(source, args);
}

}  // namespace kvel
