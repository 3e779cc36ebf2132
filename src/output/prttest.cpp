#include "prtstream.h"

#include "../foundation/lebytes.h"

#include <cstring>
#include <utility>

namespace {

// Two nested frames and the word TEST, in thousandths of an inch (x1, y1, x2, y2).
const short kBars[21][4] = {
    {0, 0, 2000, 10},      {1990, 0, 2000, 1000},  {2000, 990, 0, 1000},   {0, 1000, 10, 0},
    {30, 30, 1970, 40},    {1960, 30, 1970, 970},  {1970, 960, 30, 970},   {30, 970, 40, 30},
    {100, 200, 500, 250},  {275, 200, 325, 800},   {600, 200, 950, 250},   {600, 475, 900, 525},
    {600, 750, 950, 800},  {600, 200, 650, 800},   {1050, 200, 1400, 250}, {1050, 475, 1400, 525},
    {1050, 750, 1400, 800}, {1050, 200, 1100, 525}, {1350, 475, 1400, 800}, {1500, 200, 1900, 250},
    {1675, 200, 1725, 800},
};

struct Rect {
    long x, y, w, h;
};

Rect to_dots(long x1, long y1, long x2, long y2, long dpi) {
    auto dots = [dpi](long v) { return (v * dpi + 500) / 1000; };
    x1 = dots(x1), y1 = dots(y1), x2 = dots(x2), y2 = dots(y2);
    if (x1 > x2)
        std::swap(x1, x2);
    if (y1 > y2)
        std::swap(y1, y2);
    return {x1, y1, x2 - x1, y2 - y1};
}

} // namespace

void TestPageLine(long x1, long y1, long x2, long y2, long dpi, unsigned char record[24]) {
    Rect r = to_dots(x1, y1, x2, y2, dpi);
    bool horizontal = r.w > r.h;
    long length = horizontal ? r.w : r.h;
    long thick = horizontal ? r.h : r.w;
    long x = horizontal ? r.x : r.x + thick / 2;
    long y = horizontal ? r.y + thick / 2 : r.y;
    std::memset(record, 0, 24);
    le::put16(record, 24);
    le::put16(record + 2, static_cast<uint16_t>(x));
    le::put16(record + 4, static_cast<uint16_t>(y));
    le::put16(record + 6, static_cast<uint16_t>(length ? length : 1));
    le::put16(record + 8, static_cast<uint16_t>(thick ? thick : 1));
    le::put16(record + 12, horizontal ? 0 : 1);
}

void PrintTestPage(const PrinterTarget &target, long printer_dpi, bool line_commands) {
    prtspool job(target);
    job.StartDocW(WSTR("Printer Test"));
    job.StartPage();
    for (const auto &b : kBars) {
        if (line_commands) {
            unsigned char record[24];
            TestPageLine(b[0], b[1], b[2], b[3], printer_dpi, record);
            job.Escape(kEscLine, sizeof record, record, 0, nullptr);
        } else if (HDC dc = job.GetDC()) {
            Rect r = to_dots(b[0], b[1], b[2], b[3], printer_dpi);
            SetMapMode(dc, MM_TEXT);
            PatBlt(dc, r.x, r.y, r.w, r.h, BLACKNESS);
        }
    }
    job.EndPage();
    job.EndDoc();
}
