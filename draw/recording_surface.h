// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// A drawing surface that draws nothing and writes one line per operation: the frame trace.

#include "sim/drawing_surface.h"

#include <string>

namespace rs {

class RecordingSurface final : public DrawingSurface {
  public:
    void setBrushColour(Colour c) override;
    void setPenColour(Colour c) override;
    void fillRect(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom) override;
    void ellipse(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) override;
    void rectangle(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) override;
    void moveTo(std::int64_t x, std::int64_t y) override;
    void lineTo(std::int64_t x, std::int64_t y) override;

    const std::string& trace() const { return trace_; }
    void clear() { trace_.clear(); }

  private:
    void colour(const char* op, Colour c);
    void op(const char* name, std::initializer_list<std::int64_t> args);

    std::string trace_;
};

} // namespace rs
