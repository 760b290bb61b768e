#pragma once
#include <QAbstractTableModel>
#include <cstddef>
#include <cstdint>
#include <deque>

#include "link/traffic_format.h"
#include "link/traffic_tap.h"

namespace kvel {

// The rows of the traffic window: the formatted fields of at most `capacity` transactions,
// oldest first, so that the view shows what will be saved.
class TrafficModel final : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit TrafficModel(std::size_t capacity = TrafficTap::kCapacity, QObject* parent = nullptr);

    // Adds the transaction at the bottom; beyond the capacity the oldest row goes. True when
    // a row went.
    bool append(const TrafficRecord& record);
    // Shows what the tap keeps, in place of the rows shown so far.
    void reload(const TrafficTap& tap);
    // No rows; records up to `shownBefore` (what ended before the tap was cleared, still on
    // its way to the window) are not shown when they arrive.
    void clear(std::uint64_t shownBefore = 0);
    std::size_t size() const { return rows_.size(); }
    const TrafficFields& row(std::size_t i) const { return rows_[i]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::size_t capacity_;
    std::deque<TrafficFields> rows_;
    std::uint64_t lastSequence_ = 0;  // of the newest row; records up to it are shown
};

}  // namespace kvel
