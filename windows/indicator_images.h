#pragma once
#include <QPixmap>
#include <array>

namespace kvel {

// The main window's image list of 32 × 32 pictures: image 4 is the "on" lamp, image 5 the
// "off" lamp (the link, relay and cabinet indicators use them).
inline constexpr int kImageOn = 4;
inline constexpr int kImageOff = 5;
std::array<QPixmap, 6> makeIndicatorImages();

}  // namespace kvel
