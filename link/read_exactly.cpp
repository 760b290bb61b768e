#include "link/read_exactly.h"

namespace kvel {

bool readExactly(Transport& port, TReadTransaction& t, const LinkTiming& timing) {
    return readRegisters(port, t, timing, ReplyCount::Exact);
}

}  // namespace kvel
