#pragma once

// What one page received, in call order. A page is kept as a list of
// drawing operations until it ends, so that a page that received nothing is
// never emitted and every destination renders the same operations.

#include "Fonts.h"
#include "plotwise/plotwise_types.h"

#include <cairo.h>

#include <memory>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace plotwise {

struct PenStyle {
    bool Null = false;
    int32_t Width = 1; // device units, at least 1
    COLORREF Color = 0;
};

struct BrushStyle {
    bool Null = false;
    COLORREF Color = 0;
};

struct GlyphPlacement {
    const FontFace* Face;
    unsigned Index;
    int32_t X; // from the text's x
};

struct TextOp {
    int32_t X = 0;
    int32_t Y = 0; // top of the text cell
    uint32_t Options = 0;
    bool HasRect = false;
    RECT Rect {};
    std::u16string Text;
    std::vector<int32_t> Dx; // as passed, empty when none
    std::shared_ptr<Font> TextFont;
    COLORREF TextColor = 0;
    COLORREF BkColor = 0;
    int32_t BkMode = OPAQUE;
    std::vector<GlyphPlacement> Glyphs;
    int32_t Width = 0; // of the whole text
};

struct RectangleOp {
    RECT Rect {};
    PenStyle Pen;
    BrushStyle Brush;
};

struct PolylineOp {
    std::vector<POINT> Points;
    PenStyle Pen;
};

struct PictureOp {
    int32_t X = 0;
    int32_t Y = 0;
    int32_t Width = 0; // device units
    int32_t Height = 0;
    int32_t Type = 0;
    int32_t DataSize = 0;
    // The decoded picture, already cropped; null when it could not be decoded.
    std::shared_ptr<cairo_surface_t> Image;
};

using DrawOp = std::variant<TextOp, RectangleOp, PolylineOp, PictureOp>;

// A rectangle with its left above its right and its top above its bottom.
inline RECT Normalised(RECT rect)
{
    if (rect.left > rect.right)
        std::swap(rect.left, rect.right);
    if (rect.top > rect.bottom)
        std::swap(rect.top, rect.bottom);
    return rect;
}

struct Page {
    std::vector<DrawOp> Ops;
};

} // namespace plotwise
