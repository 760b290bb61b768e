#pragma once
#include <atomic>
#include <iosfwd>
#include <string>
#include <vector>

#include "config/mem_ini.h"

namespace kvel {

// `kvelctl scan [--port DEV] [--addresses A-B] [--speeds 0,1,…] [--parities 0,1,2] [--margin MS]
// [--all] [--json]`: looks for the module over addresses, speeds and parities, starting from the
// settings in mem.ini (or --address, --speed and --parity). Each module found is a line on `out`
// (address, speed index, bit/s, parity index, type code, version; tab-separated) or, with --json,
// an object of one array; what answers without being a module is said on `err`. Progress goes to
// `err` when `progress` is set (it is a terminal). `stop` cancels (Ctrl-C). Exit status: 0 a module
// found, 1 none (or the port failed), 2 bad usage.
int runScan(const std::vector<std::string>& args, const MemIni& ini, std::ostream& out,
            std::ostream& err, const std::atomic<bool>& stop, bool progress);

}  // namespace kvel
