#include "core/traffic_model.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <algorithm>

#include "core/shown_text.h"

namespace kvel {

TrafficModel::TrafficModel(std::size_t capacity, QObject* parent)
    : QAbstractTableModel(parent), capacity_(std::max<std::size_t>(capacity, 1)) {}

bool TrafficModel::append(const TrafficRecord& record) {
    // A record recorded before a reload may still arrive after it.
    if (record.sequence != 0 && record.sequence <= lastSequence_) return false;
    lastSequence_ = record.sequence;
    bool dropped = false;
    if (rows_.size() >= capacity_) {
        beginRemoveRows({}, 0, 0);
        rows_.pop_front();
        endRemoveRows();
        dropped = true;
    }
    const int row = static_cast<int>(rows_.size());
    beginInsertRows({}, row, row);
    rows_.push_back(trafficFieldsOf(record, translatedText));
    endInsertRows();
    return dropped;
}

void TrafficModel::reload(const TrafficTap& tap) {
    beginResetModel();
    rows_.clear();
    lastSequence_ = 0;
    for (const TrafficRecord& record : tap.records(capacity_)) {
        rows_.push_back(trafficFieldsOf(record, translatedText));
        lastSequence_ = record.sequence;
    }
    endResetModel();
}

void TrafficModel::clear(std::uint64_t shownBefore) {
    beginResetModel();
    rows_.clear();
    lastSequence_ = std::max(lastSequence_, shownBefore);
    endResetModel();
}

int TrafficModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TrafficModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(kTrafficColumns);
}

QVariant TrafficModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) {
        return {};
    }
    // Bytes line up in a fixed-width font: the discarded, request and reply columns.
    if (role == Qt::FontRole && index.column() >= 4 && index.column() <= 6) {
        return QFontDatabase::systemFont(QFontDatabase::FixedFont);
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    const TrafficFields& row = rows_[static_cast<std::size_t>(index.row())];
    return QString::fromStdString(row[static_cast<std::size_t>(index.column())]);
}

QVariant TrafficModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    const auto column = static_cast<std::size_t>(section);
    if (role == Qt::DisplayRole) {
        return QCoreApplication::translate("KvelView", trafficColumnTitles()[column].c_str());
    }
    if (role == Qt::ToolTipRole) {
        return QCoreApplication::translate("KvelView", trafficColumnHints()[column].c_str());
    }
    return {};
}

}  // namespace kvel
