// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "draw/svg_surface.h"

#include "draw/gdi_ellipse.h"
#include "draw/gdi_line.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace rs {

namespace {

constexpr std::int64_t kSide = kPictureSize;
// Outlines cut off one unit outside the picture stay out of sight.
constexpr long double kClipLow = -1.0L;
constexpr long double kClipHigh = kSide + 1.0L;

void appendInt(std::string& out, std::int64_t v) {
    out += std::to_string(v);
}

// twice / 2, exactly: "7", "7.5", "-0.5".
void appendHalves(std::string& out, std::int64_t twice) {
    const std::int64_t whole = twice / 2;
    if (twice % 2 == 0) {
        appendInt(out, whole);
        return;
    }
    if (twice < 0 && whole == 0) out += '-';
    appendInt(out, whole);
    out += ".5";
}

// v to three decimals, without trailing zeros.
void appendDecimal(std::string& out, long double v) {
    const long long thousandths = std::llround(v * 1000.0L);
    const long long whole = thousandths / 1000;
    long long fraction = thousandths % 1000;
    if (fraction < 0) fraction = -fraction;
    if (thousandths < 0 && whole == 0) out += '-';
    out += std::to_string(whole);
    if (fraction != 0) {
        char digits[8];
        std::snprintf(digits, sizeof digits, ".%03lld", fraction);
        std::string text(digits);
        text.erase(text.find_last_not_of('0') + 1);
        out += text;
    }
}

// "#rgb" where every channel is a doubled hex digit, otherwise "#rrggbb".
void appendColour(std::string& out, Colour c) {
    const unsigned r = c & 0xFF, g = c >> 8 & 0xFF, b = c >> 16 & 0xFF;
    char text[8];
    if (r % 17 == 0 && g % 17 == 0 && b % 17 == 0) {
        std::snprintf(text, sizeof text, "#%x%x%x", r / 17, g / 17, b / 17);
    } else {
        std::snprintf(text, sizeof text, "#%02x%02x%02x", r, g, b);
    }
    out += text;
}

void appendAttribute(std::string& out, const char* name, std::int64_t twice) {
    out += ' ';
    out += name;
    out += "=\"";
    appendHalves(out, twice);
    out += '"';
}

void appendPaint(std::string& out, const char* name, Colour c) {
    out += ' ';
    out += name;
    out += "=\"";
    appendColour(out, c);
    out += '"';
}

// Cuts the segment p + t * d, 0 <= t <= 1, to the clip square; false when nothing of it is inside.
bool clipSegment(const long double p[2], const long double d[2], long double& t0, long double& t1) {
    t0 = 0.0L;
    t1 = 1.0L;
    for (int axis = 0; axis < 2; ++axis) {
        if (d[axis] == 0.0L) {
            if (p[axis] < kClipLow || p[axis] > kClipHigh) return false;
            continue;
        }
        long double a = (kClipLow - p[axis]) / d[axis];
        long double b = (kClipHigh - p[axis]) / d[axis];
        if (a > b) std::swap(a, b);
        t0 = std::max(t0, a);
        t1 = std::min(t1, b);
    }
    return t0 < t1;
}

void appendPath(std::string& out, Colour pen, const std::string& segments) {
    out += "<path";
    appendPaint(out, "stroke", pen);
    out += " d=\"";
    out += segments;
    out += "\"/>\n";
}

} // namespace

void SvgSurface::closePath() {
    if (path_.empty()) return;
    appendPath(body_, pathPen_, path_);
    path_.clear();
}

void SvgSurface::fillRect(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom) {
    left = std::clamp<std::int64_t>(left, 0, kSide);
    right = std::clamp<std::int64_t>(right, 0, kSide);
    top = std::clamp<std::int64_t>(top, 0, kSide);
    bottom = std::clamp<std::int64_t>(bottom, 0, kSide);
    if (left >= right || top >= bottom) return;
    closePath();
    body_ += "<rect";
    appendAttribute(body_, "x", 2 * left);
    appendAttribute(body_, "y", 2 * top);
    appendAttribute(body_, "width", 2 * (right - left));
    appendAttribute(body_, "height", 2 * (bottom - top));
    appendPaint(body_, "fill", brush_);
    body_ += "/>\n";
}

void SvgSurface::rectangle(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) {
    box(x1, y1, x2, y2, false);
}

void SvgSurface::ellipse(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) {
    box(x1, y1, x2, y2, true);
}

void SvgSurface::box(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2, bool round) {
    normaliseBox(x1, y1, x2, y2);
    const std::int64_t w = x2 - x1, h = y2 - y1;
    if (w == 0 || h == 0 || (w == 1 && h == 1)) return;
    if (x2 <= 0 || x1 >= kSide || y2 <= 0 || y1 >= kSide) return;
    closePath();
    if (w <= 2 || h <= 2) { // too thin for an inside: all pen, like a filled rectangle
        body_ += "<rect";
        appendAttribute(body_, "x", 2 * std::max<std::int64_t>(x1, 0));
        appendAttribute(body_, "y", 2 * std::max<std::int64_t>(y1, 0));
        appendAttribute(body_, "width", 2 * (std::min(x2, kSide) - std::max<std::int64_t>(x1, 0)));
        appendAttribute(body_, "height", 2 * (std::min(y2, kSide) - std::max<std::int64_t>(y1, 0)));
        appendPaint(body_, "fill", pen_);
        body_ += "/>\n";
        return;
    }
    if (round) {
        // The outline runs through the centres of the box's outermost pixels.
        if (w > kEllipseSideLimit || h > kEllipseSideLimit) return; // the pixel picture skips these too
        body_ += w == h ? "<circle" : "<ellipse";
        appendAttribute(body_, "cx", x1 + x2);
        appendAttribute(body_, "cy", y1 + y2);
        if (w == h) {
            appendAttribute(body_, "r", w - 1);
        } else {
            appendAttribute(body_, "rx", w - 1);
            appendAttribute(body_, "ry", h - 1);
        }
    } else {
        // Edges far outside are brought to one unit beyond the picture, where their outline is unseen.
        x1 = std::max<std::int64_t>(x1, -1);
        y1 = std::max<std::int64_t>(y1, -1);
        x2 = std::min(x2, kSide + 1);
        y2 = std::min(y2, kSide + 1);
        body_ += "<rect";
        appendAttribute(body_, "x", 2 * x1 + 1);
        appendAttribute(body_, "y", 2 * y1 + 1);
        appendAttribute(body_, "width", 2 * (x2 - x1 - 1));
        appendAttribute(body_, "height", 2 * (y2 - y1 - 1));
    }
    appendPaint(body_, "fill", brush_);
    appendPaint(body_, "stroke", pen_);
    body_ += "/>\n";
}

void SvgSurface::moveTo(std::int64_t x, std::int64_t y) {
    curX_ = x;
    curY_ = y;
}

void SvgSurface::lineTo(std::int64_t x, std::int64_t y) {
    const std::int64_t x0 = saturateCoordinate(curX_), y0 = saturateCoordinate(curY_);
    curX_ = x;
    curY_ = y;
    const std::int64_t dx = saturateCoordinate(x) - x0, dy = saturateCoordinate(y) - y0;
    const std::int64_t n = std::max(dx < 0 ? -dx : dx, dy < 0 ? -dy : dy);
    if (n == 0) return;
    // The pixels run from the start pixel's centre to the end pixel's, the end pixel left out: along the
    // longer axis they cover the edges from the start to the end coordinate. So the centre line is
    // moved back by half a pixel step along itself.
    const long double d[2] = {static_cast<long double>(dx), static_cast<long double>(dy)};
    const long double p[2] = {
        static_cast<long double>(x0) + 0.5L - d[0] / (2.0L * static_cast<long double>(n)),
        static_cast<long double>(y0) + 0.5L - d[1] / (2.0L * static_cast<long double>(n))};
    long double t0 = 0.0L, t1 = 1.0L;
    if (!clipSegment(p, d, t0, t1)) return;
    if (!path_.empty() && pathPen_ != pen_) closePath();
    pathPen_ = pen_;
    path_ += 'M';
    appendDecimal(path_, p[0] + t0 * d[0]);
    path_ += ' ';
    appendDecimal(path_, p[1] + t0 * d[1]);
    if (t0 == 0.0L && t1 == 1.0L) { // wholly inside: the step is exact
        path_ += 'l';
        appendInt(path_, dx);
        path_ += ' ';
        appendInt(path_, dy);
    } else {
        path_ += 'L';
        appendDecimal(path_, p[0] + t1 * d[0]);
        path_ += ' ';
        appendDecimal(path_, p[1] + t1 * d[1]);
    }
}

std::string SvgSurface::document() const {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" baseProfile=\"full\" "
                      "width=\"601\" height=\"601\" viewBox=\"0 0 601 601\" fill=\"none\">\n";
    out += body_;
    if (!path_.empty()) appendPath(out, pathPen_, path_); // drawing may still go on after this
    out += "</svg>\n";
    return out;
}

} // namespace rs
