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
#include "plot/plot.h"

namespace {
class DemoWindow : public QMainWindow {
  public:
    DemoWindow() {
        setWindowTitle("plot-demo");
        resize(900, 640);
        setCentralWidget(&plot_);
        plot_.SetBufferedDisplay(true);
        plot_.SetBorderStyle(bs_Lowered);
        plot_.SetPan(zpdBoth);
        plot_.LeftAxis()->SetCaption("Температура, °C");
        plot_.LeftAxis()->SetMargin(20);
        plot_.BottomAxis()->SetLabelAsDataTime(true);
        plot_.BottomAxis()->SetLabelFormat("hh:nn:ss");
        plot_.LeftAxis()->SetTicksCount(11);
        plot_.BottomAxis()->SetAutoMin(true);
        plot_.BottomAxis()->SetAutoMax(true);
        plot_.LeftAxis()->SetAutoMin(true);
        plot_.LeftAxis()->SetAutoMax(true);
        const TColor colors[] = {clRed, clBlue, clGreen};
        for (int i = 0; i < 3; ++i) {
            lines_[i].LineAttr()->SetColor(colors[i]);
            lines_[i].SetPlot(&plot_);
        }
        lines_[2].PointAttr()->SetKind(ptDiamond);
        lines_[2].PointAttr()->SetVisible(true);
        lines_[2].PointAttr()->SetColor(0x00FFFF);
        start_ = DateTimeFromQDateTime(QDateTime::currentDateTime());
        for (int i = 0; i < 200; ++i) AddPoint();
        plot_.OnMouseMove = [](Tsp_XYPlot* p, TShiftState, int x, int) {
            p->SetXCursorVal(p->BottomAxis()->PixelToValue(x));
        };
        plot_.SetXCursorOn(true);
        connect(&timer_, &QTimer::timeout, this, [this] { AddPoint(); });
        timer_.start(500);
    }

  protected:
    void keyPressEvent(QKeyEvent* e) override {
        if (e->key() == Qt::Key_Z) plot_.SetZoom(plot_.Zoom() == zpdNone ? zpdBoth : zpdNone);
    }

  private:
    void AddPoint() {
        const double t = start_ + n_ * 5.0 / 86400;
        for (int i = 0; i < 3; ++i) {
            lines_[i].SetLockInvalidate(true);
            lines_[i].AddXY(t, 20 + 10 * i + 8 * std::sin(n_ / 30.0 + i));
            lines_[i].SetLockInvalidate(false);
        }
        ++n_;
    }
    Tsp_XYPlot plot_;
    Tsp_XYLine lines_[3];
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
