#include "ctl/ctl_plot.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <memory>
#include <optional>
#include <ostream>
#include <utility>

#include "chart/chart_image.h"
#include "chart/log_chart.h"
#include "config/mem_ini.h"
#include "core/log_file.h"
#include "plot/xy_plot.h"

namespace kvel {
namespace {

struct PlotOptions {
    std::string log;
    std::vector<int> channels;  // empty: every channel with a reading
    std::optional<double> from, to;
    std::string out;
    ChartImageFormat format = ChartImageFormat::Png;
    QSize size{1280, 720};
};

std::optional<int> number(std::string_view text) {
    int v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size()) return {};
    return v;
}

bool parseChannels(std::string_view text, std::vector<int>& channels) {
    for (;;) {
        const std::size_t comma = text.find(',');
        const auto c = number(text.substr(0, comma));
        if (!c || *c < 1 || *c > kLogChannels) return false;
        channels.push_back(*c);
        if (comma == std::string_view::npos) return true;
        text.remove_prefix(comma + 1);
    }
}

bool parseSize(std::string_view text, QSize& size) {
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string_view::npos) return false;
    const auto w = number(text.substr(0, x)), h = number(text.substr(x + 1));
    if (!w || !h || *w < 10 || *h < 10 || *w > 16384 || *h > 16384) return false;
    size = QSize(*w, *h);
    return true;
}

// The options, or why they are refused (`why`).
std::optional<PlotOptions> parse(const std::vector<std::string>& args, std::string& why) {
    PlotOptions o;
    // Every word that begins with "-" is an option here, "-" and "--" none.
    for (const std::string& a : args) {
        if (a == "-" || a == "--") {
            why = "'" + a + "' is no option and no log";
            return {};
        }
    }
    QCommandLineParser parser;
    const QCommandLineOption channels("channels", {}, "LIST");
    const QCommandLineOption from("from", {}, "T");
    const QCommandLineOption to("to", {}, "T");
    const QCommandLineOption png("png", {}, "OUT");
    const QCommandLineOption svg("svg", {}, "OUT");
    const QCommandLineOption size("size", {}, "WxH");
    parser.addOptions({channels, from, to, png, svg, size});
    QStringList words{QStringLiteral("kvelctl")};
    for (const std::string& a : args) words << QString::fromStdString(a);
    if (!parser.parse(words)) {
        why = parser.errorText().toStdString();
        return {};
    }
    for (const QString& v : parser.values(channels)) {
        if (!parseChannels(v.toStdString(), o.channels)) {
            why = "bad channel list '" + v.toStdString() + "' (numbers 1 to 15, comma-separated)";
            return {};
        }
    }
    for (const auto& [option, when] : {std::pair{&from, &o.from}, std::pair{&to, &o.to}}) {
        for (const QString& v : parser.values(*option)) {
            double t = 0;
            if (!parseTimeArgument(v.toStdString(), t)) {
                why = "bad time '" + v.toStdString() + "'";
                return {};
            }
            *when = t;
        }
    }
    for (const QString& v : parser.values(size)) {
        if (!parseSize(v.toStdString(), o.size)) {
            why = "bad size '" + v.toStdString() + "' (WxH, each 10 to 16384)";
            return {};
        }
    }
    // One picture, PNG or SVG.
    const QStringList outs = parser.values(png) + parser.values(svg);
    if (outs.size() != 1 || outs.constFirst().isEmpty()) {
        why = "name one picture: --png OUT or --svg OUT";
        return {};
    }
    o.out = outs.constFirst().toStdString();
    o.format = parser.isSet(svg) ? ChartImageFormat::Svg : ChartImageFormat::Png;
    const QStringList logs = parser.positionalArguments();
    if (logs.size() != 1 || logs.constFirst().isEmpty()) {
        why = "name one LOG";
        return {};
    }
    o.log = logs.constFirst().toStdString();
    if (o.from && o.to && *o.from >= *o.to) {
        why = "--from must come before --to";
        return {};
    }
    return o;
}

// Widgets need an application; kvelctl draws off-screen, with no display needed.
std::unique_ptr<QApplication> offscreenApplication() {
    if (QCoreApplication::instance()) return nullptr;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "kvelctl";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QApplication>(argc, argv);
}

}  // namespace

int runPlot(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string why;
    const std::optional<PlotOptions> parsed = parse(args, why);
    if (!parsed) {
        err << "kvelctl plot: " << why << "\nUsage: kvelctl "
            << (kPlotUsage + 2);  // the usage line without its indent
        return 2;
    }
    const PlotOptions& o = *parsed;
    auto data = std::make_shared<LogData>();
    std::string error;
    if (!readLogFile(o.log, *data, error)) {
        err << error << '\n';
        return 1;
    }
    if (data->skippedTotal() > 0) err << "пропущено строк: " << data->skippedTotal() << '\n';
    if (data->rows() == 0) {
        err << o.log << ": в журнале нет строк с показаниями, рисовать нечего\n";
        return 1;
    }
    const double from = o.from.value_or(data->time(0));
    const double to = o.to.value_or(data->time(data->rows() - 1));
    if ((o.from || o.to) && from >= to) {
        err << "пустой интервал времени\n";
        return 2;
    }
    // Something to draw: a reading of an asked channel in the range.
    const int first = data->rowAtOrAfter(from), end = data->rowAfter(to);
    bool any = false;
    for (int c = 1; c <= kLogChannels && !any; ++c) {
        const bool asked = o.channels.empty() ||
                           std::find(o.channels.begin(), o.channels.end(), c) != o.channels.end();
        any = asked && data->extent(c, first, end).any;
    }
    if (!any) {
        err << o.log
            << ": нет показаний выбранных каналов в этом интервале времени, рисовать нечего\n";
        return 1;
    }
    const std::unique_ptr<QApplication> app = offscreenApplication();
    const MemIni ini("mem.ini");
    XYPlot plot;
    plot.resize(o.size);
    LogChart chart(plot, ini);
    chart.setData(data);
    for (int c = 1; c <= kLogChannels; ++c) {
        const bool asked = o.channels.empty() ||
                           std::find(o.channels.begin(), o.channels.end(), c) != o.channels.end();
        chart.setChannelShown(c, asked);
    }
    chart.standardView();
    // The value axes fit to the readings of the range when the curves are filled for it.
    if (o.from || o.to) chart.setTimeRange(from, to);
    const ChartCaption caption = chart.caption(QFileInfo(QString::fromStdString(o.log)).fileName());
    if (!saveChartImage(plot, o.size, QString::fromStdString(o.out), o.format, error, &caption)) {
        err << error << '\n';
        return 1;
    }
    out << o.out << '\n';
    return 0;
}

}  // namespace kvel
