#include "link/read_exactly.h"

namespace kvel {

bool ReadExactly(Transport& port, TReadTransaction& t, const LinkTiming& timing) {
    return ReadRegisters(port, t, timing, ReplyCount::Exact);
}

}  // namespace kvel
