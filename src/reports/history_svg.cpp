#include "reports/history_svg.h"

#include <cstdio>

#include "reports/markup_text.h"

namespace velt {

namespace {

// The image and its plot area, in SVG user units.
constexpr double kWidth = 800, kHeight = 330;
constexpr double kLeft = 64, kRight = 744, kTop = 16, kBottom = 256;
constexpr const char* kColours[] = {"#1f6fb4", "#c8501e", "#2e9b3a"};  // by series, as laid out

std::string Num(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

double X(double fraction) { return kLeft + fraction * (kRight - kLeft); }
double Y(double fraction) { return kBottom - fraction * (kBottom - kTop); }

std::string Text(double x, double y, const char* anchor, const std::string& text) {
    return "<text x=\"" + Num(x) + "\" y=\"" + Num(y) + "\" text-anchor=\"" + anchor + "\">" + MarkupText(text) +
           "</text>\n";
}

std::string Line(double x1, double y1, double x2, double y2, const char* stroke) {
    return "<line x1=\"" + Num(x1) + "\" y1=\"" + Num(y1) + "\" x2=\"" + Num(x2) + "\" y2=\"" + Num(y2) +
           "\" stroke=\"" + stroke + "\"/>\n";
}

std::string Outages(const HistoryChart& chart) {
    std::string svg;
    for (const ChartBand& band : chart.outages)
        svg += "<rect class=\"outage\" x=\"" + Num(X(band.x0)) + "\" y=\"" + Num(kTop) + "\" width=\"" +
               Num(X(band.x1) - X(band.x0)) + "\" height=\"" + Num(kBottom - kTop) + "\" fill=\"#f2c4c4\"/>\n";
    return svg;
}

// The percent ticks draw the grid; the voltage ticks are labelled on the left.
std::string Axes(const HistoryChart& chart) {
    std::string svg;
    for (const ChartTick& tick : chart.percentTicks) {
        svg += Line(kLeft, Y(tick.at), kRight, Y(tick.at), "#dddddd");
        svg += Text(kRight + 6, Y(tick.at) + 4, "start", tick.text);
    }
    for (const ChartTick& tick : chart.voltTicks) svg += Text(kLeft - 6, Y(tick.at) + 4, "end", tick.text);
    for (const ChartTick& tick : chart.timeTicks) {
        svg += Line(X(tick.at), kBottom, X(tick.at), kBottom + 5, "#555555");
        svg += Text(X(tick.at), kBottom + 20, "middle", tick.text);
    }
    svg += Line(kLeft, kTop, kLeft, kBottom, "#555555") + Line(kRight, kTop, kRight, kBottom, "#555555");
    return svg + Line(kLeft, kBottom, kRight, kBottom, "#555555");
}

std::string Polylines(const ChartSeries& series, const char* colour) {
    std::string svg;
    for (const std::vector<ChartXY>& run : series.runs) {
        svg += "<polyline fill=\"none\" stroke-width=\"1.5\" stroke=\"" + std::string(colour) + "\" points=\"";
        for (const ChartXY& at : run) svg += Num(X(at.x)) + "," + Num(Y(at.y)) + " ";
        svg += "\"/>\n";
    }
    return svg;
}

std::string Legend(const ChartSeries& series, size_t index) {
    const double x = kLeft + 190.0 * static_cast<double>(index), y = kHeight - 16;
    return "<rect x=\"" + Num(x) + "\" y=\"" + Num(y - 9) + "\" width=\"24\" height=\"4\" fill=\"" +
           kColours[index % 3] + "\"/>\n" + Text(x + 30, y - 3, "start", series.label);
}

}  // namespace

std::string HistoryChartSvg(const HistoryChart& chart) {
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " + Num(kWidth) + " " + Num(kHeight) +
                      "\" width=\"" + Num(kWidth) + "\" height=\"" + Num(kHeight) +
                      "\" font-family=\"sans-serif\" font-size=\"12\" role=\"img\">\n";
    svg += Outages(chart) + Axes(chart);
    for (size_t i = 0; i < chart.series.size(); ++i)
        svg += Polylines(chart.series[i], kColours[i % 3]) + Legend(chart.series[i], i);
    if (chart.empty) svg += Text((kLeft + kRight) / 2, (kTop + kBottom) / 2, "middle", "No history for this span yet");
    return svg + "</svg>\n";
}

}  // namespace velt
