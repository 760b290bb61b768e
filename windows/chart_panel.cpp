#include "windows/chart_panel.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "chart/wheel_zoom_filter.h"
#include "windows/named.h"

namespace kvel {
namespace {

QLineEdit* readOnlyEdit(const char* name, int width, QWidget* parent) {
    auto* edit = named(new QLineEdit(parent), name);
    edit->setReadOnly(true);
    // Taken by a click only: a read-out with the focus would keep Ctrl+E (end of line) from
    // the window's export action.
    edit->setFocusPolicy(Qt::ClickFocus);
    edit->setFixedWidth(width);
    return edit;
}

QString textOf(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

ChartPanel::ChartPanel(ReadoutWidths widths, QWidget* parent) : QWidget(parent) {
    setObjectName("chartPanel");
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    plot_ = named(new XYPlot(this), "trendPlot");
    column->addWidget(plot_, 1);
    buildReadoutBar(widths);
    buildCurveChecks();

    // The marker handles float over the plot; the markers place them after its paints.
    markerControls_.handle1 = named(new MarkerHandle(plot_), "marker1Handle");
    markerControls_.handle2 = named(new MarkerHandle(plot_), "marker2Handle");
    for (MarkerHandle* handle : {markerControls_.handle1, markerControls_.handle2})
        handle->setFixedSize(13, 13);
    // Two value labels per curve, for the markers; empty and hidden until markers are used.
    for (QLabel*& label : markerControls_.labels) {
        label = new QLabel(plot_);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);  // the plot keeps the mouse
        label->hide();
    }

    mouse_ = std::make_unique<ChartMouse>(*plot_);
    connect(mouse_.get(), &ChartMouse::standardViewRequested, this,
            &ChartPanel::standardViewRequested);
    connect(plot_, &XYPlot::mouseMoved, this, &ChartPanel::showPointerReadout);
    new WheelZoomFilter(*plot_);
    connect(markersCheck_, &QCheckBox::toggled, this, [this](bool on) {
        if (markers_) markers_->setMarkersOn(on);
    });
}

ChartPanel::~ChartPanel() = default;

void ChartPanel::buildReadoutBar(ReadoutWidths widths) {
    auto* bar = named(new QFrame(this), "readoutPanel");
    bar->setFixedHeight(37);
    QFont font = bar->font();
    font.setBold(true);
    font.setPixelSize(13);
    bar->setFont(font);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(4, 2, 4, 2);
    const auto readout = [&](const QString& caption, const char* name, int width) {
        row->addWidget(new QLabel(caption, bar));
        QLineEdit* edit = readOnlyEdit(name, width, bar);
        row->addWidget(edit);
        return edit;
    };
    cursorLeftValue_ = readout(tr("Y(лев)"), "cursorLeftValueEdit", 90);
    cursorTime_ = readout("X", "cursorTimeEdit", widths.time);
    cursorRightValue_ = readout(tr("Y(прав)"), "cursorRightValueEdit", 90);
    row->addWidget(named(new QLabel(bar), "marker1Picture"));
    markerControls_.track1 = readout("X1", "marker1TimeEdit", widths.time);
    markerControls_.track2 = readout("X2", "marker2TimeEdit", widths.time);
    markerControls_.delta = readout("dX", "markerDeltaEdit", widths.span);
    row->addWidget(named(new QLabel(bar), "marker2Picture"));
    row->addStretch();
    layout()->addWidget(bar);
}

void ChartPanel::buildCurveChecks() {
    // Made here and placed by the window, which takes it into its own layout.
    curveChecks_ = named(new QWidget(this), "curveChecks");
    auto* grid = new QGridLayout(curveChecks_);
    grid->setContentsMargins(0, 0, 0, 0);
    for (int k = 1; k <= kChartSlots; ++k) {
        auto* color = new QLabel(curveChecks_);
        color->setObjectName("slotColorBox" + QString::number(k));
        color->setFixedSize(17, 17);
        color->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        color->setAutoFillBackground(true);
        auto* check = new QCheckBox(curveChecks_);
        check->setObjectName("slotCheck" + QString::number(k));
        check->setChecked(true);
        grid->addWidget(color, k - 1, 0);
        grid->addWidget(check, k - 1, 1);
        colorBoxes_[std::size_t(k - 1)] = color;
        checks_[std::size_t(k - 1)] = check;
    }
    markersCheck_ = named(new QCheckBox(tr("Маркеры"), this), "markersCheck");
}

void ChartPanel::setCurveColor(int slot, const QColor& color) {
    QLabel* box = colorBox(slot);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, color);
    box->setPalette(palette);
    for (QLabel* label : {valueLabel(slot, false), valueLabel(slot, true)}) {
        QPalette labelPalette = label->palette();
        labelPalette.setColor(QPalette::WindowText, color);
        label->setPalette(labelPalette);
    }
}

void ChartPanel::attachMarkers(ChartMarkers& markers) {
    markers_ = &markers;
}

void ChartPanel::showPointerReadout(QPoint pos) {
    const std::optional<PointerReadout> r = mouse_->mouseMove(pos.x(), pos.y());
    if (!r || !markers_) return;
    cursorTime_->setText(textOf(markers_->timeText(r->time)));
    cursorLeftValue_->setText(textOf(markers_->valueText(r->left)));
    cursorRightValue_->setText(textOf(markers_->valueText(r->right)));
}

}  // namespace kvel
