// The chart's two markers X1 and X2: vertical lines drawn over the plot's picture at the columns
// of their handles, the times they stand at, the time between them and the value of every
// visible curve where it crosses each of them.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <QSize>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "chart/chart_slots.h"
#include "chart/marker_handle.h"
#include "plot/plot_marker.h"
#include "plot/xy_line.h"
#include "plot/xy_plot.h"

namespace kvel {

// A curve where it crosses a time: the value, and whether it falls there.
struct CurveValue {
    double value = 0;
    bool falling = false;
};

// The curve's value at time t, linearly interpolated between the points around it; none at or
// before the first point, after the last one, in a gap of the curve (a break), or when no
// point lies at or after t. The point
// taken is the first whose X is t or later.
std::optional<CurveValue> curveValueAt(const XYDataSeries& series, double t);

// Top-left corner of a value label of the given size for a curve crossing a marker at column
// x: 5 pixels to the right, its top at the value's pixel on the value axis, or its bottom there
// on a falling curve; none when the label would not fit inside the field.
std::optional<QPoint> valueLabelPlace(int x, const CurveValue& v, const Axis& valueAxis,
                                      QSize labelSize, const QRect& field);

// The value labels of one marker, moved apart where they would overlap: in the order of their
// rows, each below the one above it, then all pushed up from the field's bottom where they ran
// past it. A label left without room above the field's top is none.
std::vector<std::optional<QRect>> stackLabels(const std::vector<QRect>& wanted, const QRect& field);

// The widgets the markers work on, all children of the plot or beside it.
struct MarkerControls {
    MarkerHandle* handle1 = nullptr;  // marker1Handle
    MarkerHandle* handle2 = nullptr;  // marker2Handle
    QLineEdit* track1 = nullptr;      // Track1Edit
    QLineEdit* track2 = nullptr;      // Track2Edit
    QLineEdit* delta = nullptr;       // DeltaEdit
    // Label A (marker X1) of slot k at 2(k−1), label B (marker X2) at 2(k−1)+1.
    std::array<QLabel*, 2 * kChartSlots> labels{};
};

class ChartMarkers {
  public:
    static constexpr int kHandleSize = 12;

    ChartMarkers(XYPlot& plot, const std::array<XYLine*, kChartSlots>& lines,
                 const MarkerControls& controls);
    virtual ~ChartMarkers();
    ChartMarkers(const ChartMarkers&) = delete;
    ChartMarkers& operator=(const ChartMarkers&) = delete;

    // Where the handles go until the user first drags one: fractions of the field's width
    // (0 its left edge, 1 its right edge). Default 0 and 1.
    void setInitialPlaces(double first, double second);
    // At every paint of the plot, for the field it shows: the lines go to the handles'
    // columns (their starting places while the user has not moved them); the handles and the
    // read-outs follow as soon as the paint is over.
    void placeLines(const QRect& field);
    // The handle's pointer at (x, y) in plot pixels during its drag.
    void dragOver(MarkerHandle* handle, int x, int y);
    void startDrag(MarkerHandle* handle);
    void endDrag(MarkerHandle* handle);
    // "Маркеры": shows or hides all value labels (and the lines with their handles when
    // they are hidden while off).
    void setMarkersOn(bool on);
    // The lines and handles shown only while "Маркеры" is on; otherwise (the default) they
    // are always there and only the value labels follow the box.
    void setHiddenWhileOff(bool hidden);
    void updateReadouts();

    int X1() const { return x1_; }
    int X2() const { return x2_; }
    // The times the markers stand at.
    double time1() const;
    double time2() const;

    // The texts of a time, of the span between the markers and of a value, as the read-outs
    // show them (the pointer's read-outs too).
    virtual std::string timeText(double t) const;
    virtual std::string spanText(double span) const;
    virtual std::string valueText(double value) const;

  protected:
    // What the read-outs show of the curve of line k (0-based) at time t. A chart whose
    // curves are a drawing of other data (a log's overview) answers from that data instead.
    virtual std::optional<CurveValue> curveValue(int k, const XYLine& line, double t) const;

  private:
    // The two lines, drawn over the plot's picture.
    class MarkerLines : public PlotMarker {
      public:
        explicit MarkerLines(ChartMarkers& owner) : owner_(owner) {
            setWhenDraw(MarkerLayer::Overlay);
        }
        void draw(QPainter* p, const ScaleMap& x, const ScaleMap& y,
                  const QRect& field) const override;

      private:
        ChartMarkers& owner_;
    };

    int handleColumn(const MarkerHandle* handle) const;
    // Handles to the marker columns, then the read-outs.
    void syncWidgets();
    void moveMarkerToHandle(int& marker, MarkerHandle* handle);
    // Repaints the strip of the plot that a line at column x covers.
    void repaintColumn(int x);
    // The label's text and wanted place for the curve at marker column x (time t); none when
    // the curve has no value there or the label would not fit.
    std::optional<QRect> placeCurveValue(int x, double t, QLabel* label, const Axis& axis, int k,
                                         const XYLine& line);

    XYPlot& plot_;
    std::array<XYLine*, kChartSlots> lines_;
    MarkerControls c_;
    double place1_ = 0, place2_ = 1;
    bool userPlaced_ = false;
    bool markersCheck_ = false;
    bool hiddenWhileOff_ = false;
    int x1_ = -1, x2_ = -1;
    int reference1_ = 0, reference2_ = 0;
    bool syncPending_ = false;
    // Context of the deferred widget update and of the handles' signals: it is dropped with
    // the markers.
    QObject guard_;
    MarkerLines markerLines_{*this};
};

}  // namespace kvel
