// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// The drawing operations as SVG elements placed over the pixels the GDI rules set.

#include "draw/svg_surface.h"
#include "tests/draw/pixels.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>

namespace rs::test {
namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

// The elements between the document's opening and closing tags.
std::string elements(const SvgSurface& s) {
    const std::string doc = s.document();
    const std::size_t open = doc.find("viewBox=\"0 0 601 601\" fill=\"none\">\n");
    const std::size_t close = doc.rfind("</svg>\n");
    if (open == std::string::npos || close == std::string::npos) return "bad document: " + doc;
    const std::size_t start = doc.find('\n', open) + 1;
    return doc.substr(start, close - start);
}

TEST(SvgSurface, EachOperationIsOneElementOverItsPixels) {
    struct Case {
        const char* what;
        std::function<void(SvgSurface&)> draw;
        std::string want;
    };
    const auto line = [](std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1) {
        return [=](SvgSurface& s) {
            s.moveTo(x0, y0);
            s.lineTo(x1, y1);
        };
    };
    const Case cases[] = {
        {"background", [](SvgSurface& s) { s.fillRect(0, 0, 601, 601); },
         "<rect x=\"0\" y=\"0\" width=\"601\" height=\"601\" fill=\"#00f\"/>\n"},
        {"fill clipped", [](SvgSurface& s) { s.fillRect(kMin, -5, kMax, 10); },
         "<rect x=\"0\" y=\"0\" width=\"601\" height=\"10\" fill=\"#00f\"/>\n"},
        {"fill reversed", [](SvgSurface& s) { s.fillRect(20, 10, 10, 20); }, ""},
        {"particle", [](SvgSurface& s) { s.ellipse(10, 20, 16, 26); },
         "<circle cx=\"13\" cy=\"23\" r=\"2.5\" fill=\"#00f\" stroke=\"#f00\"/>\n"},
        {"ellipse reversed", [](SvgSurface& s) { s.ellipse(100, 100, 80, 91); },
         "<ellipse cx=\"90\" cy=\"95.5\" rx=\"9.5\" ry=\"4\" fill=\"#00f\" stroke=\"#f00\"/>\n"},
        {"ellipse two wide is all pen", [](SvgSurface& s) { s.ellipse(5, 5, 7, 30); },
         "<rect x=\"5\" y=\"5\" width=\"2\" height=\"25\" fill=\"#f00\"/>\n"},
        {"ellipse 1 x 1", [](SvgSurface& s) { s.ellipse(5, 5, 6, 6); }, ""},
        {"ellipse outside", [](SvgSurface& s) { s.ellipse(601, 0, 700, 50); }, ""},
        {"ring beyond the side limit", [](SvgSurface& s) { s.ellipse(-(1LL << 31), 0, 1LL << 31, 601); }, ""},
        {"square particle", [](SvgSurface& s) { s.rectangle(16, 16, 10, 10); },
         "<rect x=\"10.5\" y=\"10.5\" width=\"5\" height=\"5\" fill=\"#00f\" stroke=\"#f00\"/>\n"},
        {"rectangle far left", [](SvgSurface& s) { s.rectangle(kMin, 5, 3, 9); },
         "<rect x=\"-0.5\" y=\"5.5\" width=\"3\" height=\"3\" fill=\"#00f\" stroke=\"#f00\"/>\n"},
        {"line", line(10, 10, 17, 12), "<path stroke=\"#f00\" d=\"M10 10.357l7 2\"/>\n"},
        {"line reversed", line(17, 12, 10, 10), "<path stroke=\"#f00\" d=\"M18 12.643l-7 -2\"/>\n"},
        {"line steep up", line(10, 10, 8, 3), "<path stroke=\"#f00\" d=\"M10.643 11l-2 -7\"/>\n"},
        {"line of no length", line(10, 10, 10, 10), ""},
        {"line cut at the edge", line(300, 300, kMax, 300),
         "<path stroke=\"#f00\" d=\"M300 300.5L602 300.5\"/>\n"},
        {"line outside", line(-10, -10, -3, 500), ""},
        {"lines of one pen are one path",
         [](SvgSurface& s) {
             s.moveTo(1, 1);
             s.lineTo(3, 1);
             s.lineTo(3, 4);
             s.setPenColour(0x007F7F7F);
             s.lineTo(0, 4);
         },
         "<path stroke=\"#f00\" d=\"M1 1.5l2 0M3.5 1l0 3\"/>\n<path stroke=\"#7f7f7f\" d=\"M4 4.5l-3 "
         "0\"/>\n"},
    };
    for (const Case& c : cases) {
        SvgSurface s;
        s.setPenColour(kPen);
        s.setBrushColour(kBrush);
        c.draw(s);
        EXPECT_EQ(elements(s), c.want) << c.what;
    }
}

} // namespace
} // namespace rs::test
