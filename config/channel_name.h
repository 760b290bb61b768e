#pragma once
#include <string>

#include "config/mem_ini.h"

namespace kvel {

// The name of a channel as the main grid shows it: its `sensors` name, or its number when
// the name is missing or empty.
std::string gridChannelName(const MemIni& ini, int channel);

}  // namespace kvel
