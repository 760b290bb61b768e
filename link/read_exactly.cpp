#include "link/read_exactly.h"

namespace kvel {

bool readExactly(Transport& port, ReadTransaction& t, const LinkTiming& timing) {
    return readRegisters(port, t, timing, ReplyCount::Exact);
}

}  // namespace kvel
