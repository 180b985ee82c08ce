#include "ui/win32/history_chart_view.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "sys/win32/win_handle.h"
#include "ui/dpi_scale.h"
#include "ui/string_ids.h"
#include "ui/win32/string_resources.h"
#include "ui/win32/window_class.h"
#include "ui/win32/window_dpi.h"

namespace velt::ui {

namespace {

constexpr COLORREF kBackground = RGB(255, 255, 255);
constexpr COLORREF kText = RGB(48, 48, 48);
constexpr COLORREF kGrid = RGB(228, 228, 228);
constexpr COLORREF kFrame = RGB(150, 150, 150);
constexpr COLORREF kOutage = RGB(255, 222, 218);

COLORREF SeriesColour(HistoryQuantity q) {
    switch (q) {
        case HistoryQuantity::InputVoltage: return RGB(31, 100, 190);
        case HistoryQuantity::Load: return RGB(230, 120, 10);
        case HistoryQuantity::Charge: return RGB(30, 150, 60);
        default: return RGB(120, 120, 120);
    }
}

struct ChartState {
    HistoryChart chart;
    std::string message;
    std::string outageLabel;  // the legend's name for the shade
    bool shown = false;  // nothing painted but the background before the first answer
    HFONT font = nullptr;
};

ChartState* StateOf(HWND view) { return reinterpret_cast<ChartState*>(::GetWindowLongPtrA(view, 0)); }

// Selects a GDI object into a DC for a scope, and puts the old one back.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
    ~Selected() { ::SelectObject(dc_, old_); }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A bitmap the size of the control to draw on, copied to the screen at once.
class MemoryCanvas {
public:
    MemoryCanvas(HDC screen, SIZE size)
        : screen_(screen), size_(size), dc_(::CreateCompatibleDC(screen)),
          bitmap_(::CreateCompatibleBitmap(screen, size.cx, size.cy)),
          selected_(std::make_unique<Selected>(dc_, bitmap_.get())) {}
    ~MemoryCanvas() {
        selected_.reset();
        ::DeleteDC(dc_);
    }
    MemoryCanvas(const MemoryCanvas&) = delete;
    MemoryCanvas& operator=(const MemoryCanvas&) = delete;

    bool Ready() const { return dc_ && bitmap_; }
    HDC Dc() const { return dc_; }
    void Show() const { ::BitBlt(screen_, 0, 0, size_.cx, size_.cy, dc_, 0, 0, SRCCOPY); }

private:
    HDC screen_;
    SIZE size_;
    HDC dc_;
    win::GdiObject bitmap_;
    std::unique_ptr<Selected> selected_;
};

// Where the plot's fractions land in pixels.
struct Plot {
    RECT area{};
    int X(double fraction) const {
        return area.left + static_cast<int>(fraction * (area.right - area.left) + 0.5);
    }
    int Y(double fraction) const {
        return area.bottom - static_cast<int>(fraction * (area.bottom - area.top) + 0.5);
    }
};

struct Painter {
    HDC dc;
    int dpi;
    int lineHeight;
    int S(int pixels) const { return ScaleToDpi(pixels, dpi); }
};

int TextWidth(HDC dc, const std::string& text) {
    SIZE size{};
    ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

int WidestTick(HDC dc, const std::vector<ChartTick>& ticks) {
    int widest = 0;
    for (const ChartTick& t : ticks) widest = std::max(widest, TextWidth(dc, t.text));
    return widest;
}

void Fill(HDC dc, const RECT& r, COLORREF colour) {
    win::GdiObject brush(::CreateSolidBrush(colour));
    ::FillRect(dc, &r, static_cast<HBRUSH>(brush.get()));
}

void Line(HDC dc, int x0, int y0, int x1, int y1) {
    ::MoveToEx(dc, x0, y0, nullptr);
    ::LineTo(dc, x1, y1);
}

void Text(HDC dc, int x, int y, const std::string& text, UINT align) {
    ::SetTextAlign(dc, align);
    ::TextOutA(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

// Room for the legend above, the value ticks either side, the time ticks below.
Plot PlotFor(const Painter& p, const HistoryChart& chart, SIZE size) {
    const int pad = p.S(4);
    Plot plot;
    plot.area.left = pad + std::max(WidestTick(p.dc, chart.voltTicks), p.S(12)) + p.S(4);
    plot.area.right = size.cx - pad - std::max(WidestTick(p.dc, chart.percentTicks), p.S(12)) - p.S(4);
    plot.area.top = pad + p.lineHeight + p.S(6) + p.lineHeight / 2;
    plot.area.bottom = size.cy - pad - p.lineHeight - p.S(3);
    return plot;
}

void DrawLegendSwatch(const Painter& p, int x, int midY, COLORREF colour, bool band) {
    if (band) {
        Fill(p.dc, RECT{x, midY - p.S(4), x + p.S(14), midY + p.S(5)}, colour);
        return;
    }
    win::GdiObject pen(::CreatePen(PS_SOLID, p.S(2), colour));
    Selected use(p.dc, pen.get());
    Line(p.dc, x, midY, x + p.S(14), midY);
}

// The series in their colours, then the outages' shade.
void DrawLegend(const Painter& p, const HistoryChart& chart, const std::string& outageLabel) {
    int x = p.S(6);
    const int y = p.S(4);
    const int midY = y + p.lineHeight / 2;
    const auto entry = [&](const std::string& label, COLORREF colour, bool band) {
        DrawLegendSwatch(p, x, midY, colour, band);
        x += p.S(18);
        Text(p.dc, x, y, label, TA_LEFT | TA_TOP);
        x += TextWidth(p.dc, label) + p.S(12);
    };
    for (const ChartSeries& s : chart.series) entry(s.label, SeriesColour(s.quantity), false);
    entry(outageLabel, kOutage, true);
}

void DrawBands(const Painter& p, const Plot& plot, const HistoryChart& chart) {
    for (const ChartBand& b : chart.outages) {
        const int x0 = plot.X(std::clamp(b.x0, 0.0, 1.0));
        const int x1 = std::max(plot.X(std::clamp(b.x1, 0.0, 1.0)), x0 + p.S(1));
        Fill(p.dc, RECT{x0, plot.area.top, x1, plot.area.bottom}, kOutage);
    }
}

void DrawGrid(const Painter& p, const Plot& plot, const HistoryChart& chart) {
    win::GdiObject pen(::CreatePen(PS_SOLID, 1, kGrid));
    Selected use(p.dc, pen.get());
    for (const ChartTick& t : chart.voltTicks) Line(p.dc, plot.area.left, plot.Y(t.at), plot.area.right, plot.Y(t.at));
    for (const ChartTick& t : chart.timeTicks) Line(p.dc, plot.X(t.at), plot.area.top, plot.X(t.at), plot.area.bottom);
}

// Value labels centred on their lines; time labels under theirs, kept inside.
void DrawTickLabels(const Painter& p, const Plot& plot, const HistoryChart& chart, SIZE size) {
    const int half = p.lineHeight / 2;
    for (const ChartTick& t : chart.voltTicks)
        Text(p.dc, plot.area.left - p.S(4), plot.Y(t.at) - half, t.text, TA_RIGHT | TA_TOP);
    for (const ChartTick& t : chart.percentTicks)
        Text(p.dc, plot.area.right + p.S(4), plot.Y(t.at) - half, t.text, TA_LEFT | TA_TOP);
    int free = 0;  // a time label that would touch the one before is left out
    for (const ChartTick& t : chart.timeTicks) {
        const int w = TextWidth(p.dc, t.text);
        const int x = std::clamp(plot.X(t.at) - w / 2, p.S(2), static_cast<int>(size.cx) - p.S(2) - w);
        if (x < free) continue;
        Text(p.dc, x, plot.area.bottom + p.S(3), t.text, TA_LEFT | TA_TOP);
        free = x + w + p.S(8);
    }
}

void DrawSeries(const Painter& p, const Plot& plot, const ChartSeries& series) {
    win::GdiObject pen(::CreatePen(PS_SOLID, p.S(1), SeriesColour(series.quantity)));
    Selected use(p.dc, pen.get());
    for (const std::vector<ChartXY>& run : series.runs) {
        std::vector<POINT> points;
        for (const ChartXY& xy : run) points.push_back({plot.X(xy.x), plot.Y(xy.y)});
        if (points.size() == 1) points.push_back({points[0].x + p.S(1), points[0].y});  // a lone minute shows as a dot
        if (!points.empty()) ::Polyline(p.dc, points.data(), static_cast<int>(points.size()));
    }
}

void DrawFrame(const Painter& p, const Plot& plot) {
    win::GdiObject pen(::CreatePen(PS_SOLID, 1, kFrame));
    Selected use(p.dc, pen.get());
    Selected hollow(p.dc, ::GetStockObject(NULL_BRUSH));
    ::Rectangle(p.dc, plot.area.left, plot.area.top, plot.area.right + 1, plot.area.bottom + 1);
}

void DrawMessage(const Painter& p, const RECT& area, const std::string& message) {
    RECT r = area;
    ::DrawTextA(p.dc, message.c_str(), static_cast<int>(message.size()), &r,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void DrawChart(const Painter& p, const ChartState& s, SIZE size) {
    Fill(p.dc, RECT{0, 0, size.cx, size.cy}, kBackground);
    if (!s.shown) return;
    const HistoryChart& chart = s.chart;
    const Plot plot = PlotFor(p, chart, size);
    DrawBands(p, plot, chart);
    DrawGrid(p, plot, chart);
    DrawFrame(p, plot);
    DrawTickLabels(p, plot, chart, size);
    if (!chart.empty) {
        for (const ChartSeries& series : chart.series) DrawSeries(p, plot, series);
        DrawLegend(p, chart, s.outageLabel);
    } else {
        DrawMessage(p, plot.area, s.message);
    }
}

void Paint(HWND view) {
    PAINTSTRUCT ps;
    HDC screen = ::BeginPaint(view, &ps);
    RECT client{};
    ::GetClientRect(view, &client);
    const SIZE size{client.right, client.bottom};
    MemoryCanvas canvas(screen, size);
    const ChartState* s = StateOf(view);
    if (canvas.Ready() && s) {
        Selected font(canvas.Dc(), s->font ? s->font : ::GetStockObject(DEFAULT_GUI_FONT));
        ::SetBkMode(canvas.Dc(), TRANSPARENT);
        ::SetTextColor(canvas.Dc(), kText);
        TEXTMETRICA tm{};
        ::GetTextMetricsA(canvas.Dc(), &tm);
        DrawChart(Painter{canvas.Dc(), WindowDpi(view), static_cast<int>(tm.tmHeight)}, *s, size);
        canvas.Show();
    }
    ::EndPaint(view, &ps);
}

void Attach(HWND view, const CREATESTRUCTA& created) {
    auto state = std::make_unique<ChartState>();
    state->outageLabel = LoadText(created.hInstance, IDS_OutageLegend);
    ::SetWindowLongPtrA(view, 0, reinterpret_cast<LONG_PTR>(state.release()));
}

LRESULT CALLBACK HistoryChartProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_NCCREATE: Attach(hwnd, *reinterpret_cast<const CREATESTRUCTA*>(lParam)); break;
        case WM_NCDESTROY: delete StateOf(hwnd); ::SetWindowLongPtrA(hwnd, 0, 0); break;
        case WM_SETFONT:
            if (ChartState* s = StateOf(hwnd)) s->font = reinterpret_cast<HFONT>(wParam);
            if (LOWORD(lParam)) ::InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_GETFONT: return StateOf(hwnd) ? reinterpret_cast<LRESULT>(StateOf(hwnd)->font) : 0;
        case WM_SIZE: ::InvalidateRect(hwnd, nullptr, FALSE); return 0;
        case WM_PAINT: Paint(hwnd); return 0;
        case WM_ERASEBKGND: return 1;  // the paint covers everything
        default: break;
    }
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

bool RegisterHistoryChartClass(HINSTANCE inst) {
    // The state lives behind the window's one extra slot, from creation to destruction.
    return RegisterWindowClass({.name = kHistoryChartClass, .proc = HistoryChartProc, .instance = inst,
                                .extraBytes = sizeof(LONG_PTR)});
}

void SetHistoryChart(HWND view, HistoryChart chart, const std::string& message) {
    ChartState* s = view ? StateOf(view) : nullptr;
    if (!s) return;
    s->chart = std::move(chart);
    s->message = message;
    s->shown = true;
    std::string words;
    for (const ChartSeries& series : s->chart.series) words += (words.empty() ? "" : ", ") + series.label;
    ::SetWindowTextA(view, s->chart.empty ? message.c_str() : words.c_str());
    ::InvalidateRect(view, nullptr, FALSE);
}

}  // namespace velt::ui
