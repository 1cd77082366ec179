// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// What the frame renderer needs of a picture: GDI-style pen, brush and primitives.
// Coordinates are 64-bit because displaced particles of extreme scenes land far outside the
// picture; the surface clips them.

#include <cstdint>

namespace rs {

using Colour = std::uint32_t; // 0x00BBGGRR, red in the low byte

inline constexpr int kPictureSize = 601;

class DrawingSurface {
  public:
    virtual ~DrawingSurface() = default;

    virtual void setBrushColour(Colour c) = 0;
    virtual void setPenColour(Colour c) = 0;
    // Columns left..right-1, rows top..bottom-1, brush only.
    virtual void fillRect(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom) = 0;
    // Inscribed in the box, right and bottom edges excluded; pen outline, brush inside.
    virtual void ellipse(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) = 0;
    virtual void rectangle(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) = 0;
    virtual void moveTo(std::int64_t x, std::int64_t y) = 0;
    // From the current position to (x, y) without the end pixel; (x, y) becomes current.
    virtual void lineTo(std::int64_t x, std::int64_t y) = 0;
};

} // namespace rs
