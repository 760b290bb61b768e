// A plot with a few live series, to look at the widget in a real window: drag a rectangle
// with the left button to zoom, click to undo, Ctrl+drag with zoom off to pan (press Z to
// switch zoom off and on); the X cursor follows the mouse.
#include <QApplication>
#include <QDateTime>
#include <QKeyEvent>
#include <QMainWindow>
#include <QTimer>
#include <cmath>

#include "plot/date_time.h"
#include "plot/xy_line.h"
#include "plot/xy_plot.h"

namespace {
using namespace kvel;

class DemoWindow : public QMainWindow {
  public:
    DemoWindow() {
        setWindowTitle("plot-demo");
        resize(900, 640);
        setCentralWidget(&plot_);
        plot_.setBorderStyle(BorderStyle::Lowered);
        plot_.setPan(Qt::Horizontal | Qt::Vertical);
        plot_.leftAxis()->setCaption("Температура, °C");
        plot_.leftAxis()->setMargin(20);
        plot_.bottomAxis()->setLabelAsDateTime(true);
        plot_.bottomAxis()->setLabelFormat("hh:mm:ss");
        plot_.leftAxis()->setTicksCount(11);
        plot_.bottomAxis()->setAutoMin(true);
        plot_.bottomAxis()->setAutoMax(true);
        plot_.leftAxis()->setAutoMin(true);
        plot_.leftAxis()->setAutoMax(true);
        const QColor colors[] = {Qt::red, Qt::blue, QColorConstants::Svg::green};
        for (int i = 0; i < 3; ++i) {
            lines_[i].lineAttr()->setColor(colors[i]);
            lines_[i].setPlot(&plot_);
        }
        lines_[2].pointAttr()->setKind(PointKind::Diamond);
        lines_[2].pointAttr()->setVisible(true);
        lines_[2].pointAttr()->setColor(Qt::yellow);
        start_ = dateTimeFromQDateTime(QDateTime::currentDateTime());
        for (int i = 0; i < 200; ++i) addPoint();
        connect(&plot_, &XYPlot::mouseMoved, this, [this](QPoint pos) {
            plot_.setXCursorVal(plot_.bottomAxis()->pixelToValue(pos.x()));
        });
        plot_.setXCursorOn(true);
        connect(&timer_, &QTimer::timeout, this, [this] { addPoint(); });
        timer_.start(500);
    }

  protected:
    void keyPressEvent(QKeyEvent* e) override {
        if (e->key() == Qt::Key_Z)
            plot_.setZoom(plot_.zoom() ? Qt::Orientations() : Qt::Horizontal | Qt::Vertical);
    }

  private:
    void addPoint() {
        const double t = start_ + n_ * 5.0 / 86400;
        for (int i = 0; i < 3; ++i) {
            lines_[i].setLockInvalidate(true);
            lines_[i].addXY(t, 20 + 10 * i + 8 * std::sin(n_ / 30.0 + i));
            lines_[i].setLockInvalidate(false);
        }
        ++n_;
    }
    XYPlot plot_;
    XYLine lines_[3];
    QTimer timer_;
    double start_ = 0;
    int n_ = 0;
};
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    DemoWindow w;
    w.show();
    return app.exec();
}
