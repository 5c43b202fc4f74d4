#pragma once

// What the PDF and the PostScript page writers share: both write the same
// operators (the PostScript prolog defines PDF's names), so the page's
// transform, the graphics state kept to what changes, rectangles, lines and
// the boxes around a text are written once, here. A writer derives from
// ContentStream<Writer, State> and gives SetFill, SetStroke, DrawGlyphs,
// DrawPicture and kClipOperator; State holds at least LineWidth.

#include "Destination.h"
#include "PdfWriter.h"

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

namespace plotwise {

template <typename Writer, typename State> class ContentStream {
public:
    static constexpr double kPointsPerInch = 72.0;
    static constexpr int kCoordinateDecimals = 2;
    static constexpr int kScaleDecimals = 6;

    ContentStream(size_t operations, std::string buffer)
        : out_(std::move(buffer))
    {
        out_.clear();
        // Room for what a drawing operation typically takes, so the text
        // seldom moves while it grows.
        constexpr size_t kBytesPerOperation = 64;
        out_.reserve(operations * kBytesPerOperation);
    }

    // Device units, origin top left, to points, origin bottom left.
    void Begin(const PageGeometry& geometry)
    {
        const double scale = kPointsPerInch / geometry.Dpi;
        Real(scale, kScaleDecimals);
        out_ += " 0 0 ";
        Real(-scale, kScaleDecimals);
        out_ += ' ';
        Real(geometry.OffsetX * scale);
        out_ += ' ';
        Real(geometry.HeightPoints - geometry.OffsetY * scale);
        out_ += " cm\n";
    }

    void Draw(const DrawOp& op)
    {
        if (auto* text = std::get_if<TextOp>(&op))
            DrawText(*text);
        else if (auto* rectangle = std::get_if<RectangleOp>(&op))
            DrawRectangle(*rectangle);
        else if (auto* polyline = std::get_if<PolylineOp>(&op))
            DrawPolyline(*polyline);
        else if (auto* picture = std::get_if<PictureOp>(&op))
            Self().DrawPicture(*picture);
    }

    std::string Take() { return std::move(out_); }

protected:
    Writer& Self() { return static_cast<Writer&>(*this); }

    void Real(double value, int decimals = kCoordinateDecimals) { AppendReal(out_, value, decimals); }

    void Numbers(std::initializer_list<double> values)
    {
        for (double value : values) {
            Real(value);
            out_ += ' ';
        }
    }

    void SetLineWidth(double width)
    {
        if (state_.LineWidth != width) {
            Real(width);
            out_ += " w\n";
            state_.LineWidth = width;
        }
    }

    void Save()
    {
        out_ += "q\n";
        saved_.push_back(state_);
    }

    void Restore()
    {
        out_ += "Q\n";
        state_ = saved_.back();
        saved_.pop_back();
    }

    void Rectangle(double left, double top, double width, double height)
    {
        Numbers({ left, top, width });
        Real(height);
        out_ += " re\n";
    }

    void FillRect(const RECT& rect, COLORREF color)
    {
        RECT r = Normalised(rect);
        Self().SetFill(color);
        Rectangle(r.left, r.top, r.right - r.left, r.bottom - r.top);
        out_ += "f\n";
    }

    void DrawText(const TextOp& op)
    {
        if ((op.Options & ETO_OPAQUE) && op.HasRect)
            FillRect(op.Rect, op.BkColor);
        const bool clipped = (op.Options & ETO_CLIPPED) && op.HasRect;
        if (clipped) {
            Save();
            RECT r = Normalised(op.Rect);
            Rectangle(r.left, r.top, r.right - r.left, r.bottom - r.top);
            out_ += Writer::kClipOperator;
        }
        const Font& font = *op.TextFont;
        if (op.BkMode == OPAQUE && !op.Glyphs.empty())
            FillRect({ op.X, op.Y, op.X + op.Width, op.Y + font.Height() }, op.BkColor);
        const double baseline = static_cast<double>(op.Y) + font.Ascent();
        if (font.EmSize() > 0 && !op.Glyphs.empty())
            Self().DrawGlyphs(op, font, baseline);
        const FontFace& primary = font.Primary();
        if (op.Width > 0 && font.Request().lfUnderline) {
            int32_t thickness = std::max(1, font.Scale(primary, primary.UnderlineThickness));
            double top = baseline - font.Scale(primary, primary.UnderlinePosition) - thickness / 2.0;
            Self().SetFill(op.TextColor);
            Rectangle(op.X, top, op.Width, thickness);
            out_ += "f\n";
        }
        if (op.Width > 0 && font.Request().lfStrikeOut) {
            int32_t thickness = std::max(1, font.Scale(primary, primary.StrikeoutThickness));
            double top = baseline - font.Scale(primary, primary.StrikeoutPosition);
            Self().SetFill(op.TextColor);
            Rectangle(op.X, top, op.Width, thickness);
            out_ += "f\n";
        }
        if (clipped)
            Restore();
    }

    void DrawRectangle(const RectangleOp& op)
    {
        RECT r = Normalised(op.Rect);
        if (r.right == r.left || r.bottom == r.top)
            return;
        if (!op.Brush.Null)
            FillRect(r, op.Brush.Color);
        if (!op.Pen.Null) {
            Self().SetStroke(op.Pen.Color);
            SetLineWidth(op.Pen.Width);
            Rectangle(r.left + 0.5, r.top + 0.5, r.right - r.left - 1, r.bottom - r.top - 1);
            out_ += "S\n";
        }
    }

    void DrawPolyline(const PolylineOp& op)
    {
        if (op.Pen.Null || op.Points.size() < 2)
            return;
        Self().SetStroke(op.Pen.Color);
        SetLineWidth(op.Pen.Width);
        for (size_t i = 0; i < op.Points.size(); ++i) {
            Real(op.Points[i].x + 0.5);
            out_ += ' ';
            Real(op.Points[i].y + 0.5);
            out_ += i == 0 ? " m\n" : " l\n";
        }
        out_ += "S\n";
    }

    std::string out_;
    State state_;
    std::vector<State> saved_;
};

} // namespace plotwise
