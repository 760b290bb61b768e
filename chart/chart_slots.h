#pragma once
#include <array>
#include <string>

#include "config/mem_ini.h"
#include "plot/canvas.h"

namespace kvel {

inline constexpr int kChartSlots = 15;

// Line colours of the chart slots, slot 1 first (0x00BBGGRR): navy, fuchsia, olive, lime,
// green, red, teal, gray, black, blue, maroon, purple, silver, yellow, aqua.
inline constexpr std::array<Color, kChartSlots> kSlotColors = {
    0x800000, 0xFF00FF, 0x008080, 0x00FF00, 0x008000, 0x0000FF, 0x808000, 0x808080,
    0x000000, 0xFF0000, 0x000080, 0x800080, 0xC0C0C0, 0x00FFFF, 0xFFFF00};

// Slot k (index k-1) carries the k-th channel, in ascending number up to channelCount, whose
// `display`/`d`n key is on; 0 marks a slot left empty. Computed afresh from mem.ini each time.
std::array<int, kChartSlots> assignSlots(const MemIni& ini, int channelCount);

// "Канал " and the channel's name from `sensors`, or its number when the name is empty.
std::string slotCaption(const MemIni& ini, int channel);

// `axis` key of the slot: exactly "L" binds it to the left axis, any other text to the right.
bool slotOnLeftAxis(const MemIni& ini, int slot);

}  // namespace kvel
