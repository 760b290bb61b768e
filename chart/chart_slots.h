#pragma once
#include <QColor>
#include <array>
#include <string>

#include "config/mem_ini.h"

namespace kvel {

inline constexpr int kChartSlots = 15;

// Line colours of the chart slots, slot 1 first.
inline constexpr std::array<QColor, kChartSlots> kSlotColors = {
    QColorConstants::Svg::navy,   QColorConstants::Svg::fuchsia, QColorConstants::Svg::olive,
    QColorConstants::Svg::lime,   QColorConstants::Svg::green,   QColorConstants::Svg::red,
    QColorConstants::Svg::teal,   QColorConstants::Svg::gray,    QColorConstants::Svg::black,
    QColorConstants::Svg::blue,   QColorConstants::Svg::maroon,  QColorConstants::Svg::purple,
    QColorConstants::Svg::silver, QColorConstants::Svg::yellow,  QColorConstants::Svg::aqua};

// Slot k (index k-1) carries the k-th channel, in ascending number up to channelCount, whose
// `display`/`d`n key is on; 0 marks a slot left empty. Computed afresh from mem.ini each time.
std::array<int, kChartSlots> assignSlots(const MemIni& ini, int channelCount);

// "Канал " and the channel's name from `sensors`, or its number when the name is empty.
std::string slotCaption(const MemIni& ini, int channel);

// `axis` key of the slot: exactly "L" binds it to the left axis, any other text to the right.
bool slotOnLeftAxis(const MemIni& ini, int slot);

}  // namespace kvel
