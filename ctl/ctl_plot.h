#pragma once
#include <iosfwd>
#include <string>
#include <vector>

namespace kvel {

// kvelctl plot LOG [--channels 1,3,5] [--from T] [--to T] --png|--svg OUT [--size WxH]: a
// picture of a measurement log, drawn off-screen. `args` follow the word "plot". Returns 0,
// 1 when the log cannot be read, holds nothing to draw or the picture is not written, 2 on
// bad usage.
int runPlot(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

inline constexpr char kPlotUsage[] =
    "  plot LOG [--channels 1,3,5] [--from T] [--to T] --png|--svg OUT [--size WxH]\n";

}  // namespace kvel
