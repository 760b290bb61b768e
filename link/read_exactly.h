#pragma once
#include "link/link_timing.h"
#include "link/transactions.h"
#include "link/transport.h"

namespace kvel {

// A read of the module's registers that must bring exactly the count asked for. A read group
// of the module uses registers 0 … count−1, so a shorter reply (or a late answer to another
// request) would pass old or foreign values off as new ones. Such a reply is a failed read,
// for the caller and for the line's observer alike: the failure is LinkError::WrongData,
// and the registers and register count keep what the last good read left there.
bool readExactly(Transport& port, ReadTransaction& t, const LinkTiming& timing = kLinkTiming);

}  // namespace kvel
