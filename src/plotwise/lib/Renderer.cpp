#include "Destination.h"

#include <cairo-ft.h>

#include <algorithm>

namespace plotwise {
namespace {

// Synthetic italics lean a fifth of the em; synthetic bold strokes the
// outline with a thirty-fifth of it.
constexpr double kObliqueSlant = 0.2;
constexpr double kEmboldenFraction = 1.0 / 35;

void SetColor(cairo_t* context, COLORREF color)
{
    cairo_set_source_rgb(
        context, (color & 0xFF) / 255.0, ((color >> 8) & 0xFF) / 255.0, ((color >> 16) & 0xFF) / 255.0);
}

void FillRect(cairo_t* context, const RECT& rect, COLORREF color)
{
    RECT r = Normalised(rect);
    SetColor(context, color);
    cairo_rectangle(context, r.left, r.top, r.right - r.left, r.bottom - r.top);
    cairo_fill(context);
}

void DrawGlyphRun(cairo_t* context, const Font& font, const FontFace& face, std::vector<cairo_glyph_t>& glyphs)
{
    if (glyphs.empty())
        return;
    // Only pages drawn with cairo need the face as cairo knows it.
    if (!face.CairoFace)
        face.CairoFace = cairo_ft_font_face_create_for_ft_face(face.Face, FT_LOAD_NO_HINTING);
    if (!face.CairoFace)
        return;
    double em = font.EmSize();
    cairo_set_font_face(context, face.CairoFace);
    cairo_matrix_t matrix;
    cairo_matrix_init(&matrix, em, 0, font.SyntheticItalic() ? -kObliqueSlant * em : 0, em, 0, 0);
    cairo_set_font_matrix(context, &matrix);
    if (font.SyntheticBold()) {
        cairo_glyph_path(context, glyphs.data(), static_cast<int>(glyphs.size()));
        cairo_fill_preserve(context);
        cairo_set_line_width(context, em * kEmboldenFraction);
        cairo_stroke(context);
    } else {
        cairo_show_glyphs(context, glyphs.data(), static_cast<int>(glyphs.size()));
    }
    glyphs.clear();
}

void DrawText(cairo_t* context, const TextOp& op)
{
    if ((op.Options & ETO_OPAQUE) && op.HasRect)
        FillRect(context, op.Rect, op.BkColor);
    cairo_save(context);
    if ((op.Options & ETO_CLIPPED) && op.HasRect) {
        RECT r = Normalised(op.Rect);
        cairo_rectangle(context, r.left, r.top, r.right - r.left, r.bottom - r.top);
        cairo_clip(context);
    }
    const Font& font = *op.TextFont;
    if (op.BkMode == OPAQUE && !op.Glyphs.empty())
        FillRect(context, { op.X, op.Y, op.X + op.Width, op.Y + font.Height() }, op.BkColor);
    SetColor(context, op.TextColor);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(context, options);
    cairo_font_options_destroy(options);
    double baseline = static_cast<double>(op.Y) + font.Ascent();
    std::vector<cairo_glyph_t> run;
    const FontFace* runFace = nullptr;
    for (const GlyphPlacement& glyph : op.Glyphs) {
        if (glyph.Face != runFace) {
            if (runFace)
                DrawGlyphRun(context, font, *runFace, run);
            runFace = glyph.Face;
        }
        run.push_back({ glyph.Index, static_cast<double>(op.X) + glyph.X, baseline });
    }
    if (runFace)
        DrawGlyphRun(context, font, *runFace, run);
    const FontFace& primary = font.Primary();
    if (op.Width > 0 && font.Request().lfUnderline) {
        int32_t thickness = std::max(1, font.Scale(primary, primary.UnderlineThickness));
        double top = baseline - font.Scale(primary, primary.UnderlinePosition) - thickness / 2.0;
        cairo_rectangle(context, op.X, top, op.Width, thickness);
        cairo_fill(context);
    }
    if (op.Width > 0 && font.Request().lfStrikeOut) {
        int32_t thickness = std::max(1, font.Scale(primary, primary.StrikeoutThickness));
        double top = baseline - font.Scale(primary, primary.StrikeoutPosition);
        cairo_rectangle(context, op.X, top, op.Width, thickness);
        cairo_fill(context);
    }
    cairo_restore(context);
}

// Outlines run through the middle of the edge dots, so a one-dot pen covers
// exactly the dots of the left and top edges and those just inside the
// right and bottom edges, which GDI leaves out.
void DrawRectangle(cairo_t* context, const RectangleOp& op)
{
    RECT r = Normalised(op.Rect);
    if (r.right == r.left || r.bottom == r.top)
        return;
    if (!op.Brush.Null)
        FillRect(context, r, op.Brush.Color);
    if (!op.Pen.Null) {
        SetColor(context, op.Pen.Color);
        cairo_set_line_width(context, op.Pen.Width);
        cairo_set_line_join(context, CAIRO_LINE_JOIN_MITER);
        cairo_rectangle(context, r.left + 0.5, r.top + 0.5, r.right - r.left - 1, r.bottom - r.top - 1);
        cairo_stroke(context);
    }
}

void DrawPolyline(cairo_t* context, const PolylineOp& op)
{
    if (op.Pen.Null || op.Points.size() < 2)
        return;
    SetColor(context, op.Pen.Color);
    cairo_set_line_width(context, op.Pen.Width);
    cairo_set_line_cap(context, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(context, CAIRO_LINE_JOIN_MITER);
    cairo_move_to(context, op.Points[0].x + 0.5, op.Points[0].y + 0.5);
    for (size_t i = 1; i < op.Points.size(); ++i)
        cairo_line_to(context, op.Points[i].x + 0.5, op.Points[i].y + 0.5);
    cairo_stroke(context);
}

void DrawPicture(cairo_t* context, const PictureOp& op)
{
    if (!op.Image || op.Width <= 0 || op.Height <= 0)
        return;
    cairo_surface_t* image = op.Image.get();
    int width = cairo_image_surface_get_width(image);
    int height = cairo_image_surface_get_height(image);
    if (width <= 0 || height <= 0)
        return;
    cairo_save(context);
    cairo_rectangle(context, op.X, op.Y, op.Width, op.Height);
    cairo_clip(context);
    cairo_translate(context, op.X, op.Y);
    cairo_scale(context, static_cast<double>(op.Width) / width, static_cast<double>(op.Height) / height);
    cairo_set_source_surface(context, image, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(context), CAIRO_FILTER_GOOD);
    // Padding keeps the edge pixels solid instead of fading into nothing.
    cairo_pattern_set_extend(cairo_get_source(context), CAIRO_EXTEND_PAD);
    cairo_paint(context);
    cairo_restore(context);
}

} // namespace

void RenderPage(cairo_t* context, const Page& page)
{
    for (const DrawOp& op : page.Ops) {
        cairo_save(context);
        if (auto* text = std::get_if<TextOp>(&op))
            DrawText(context, *text);
        else if (auto* rectangle = std::get_if<RectangleOp>(&op))
            DrawRectangle(context, *rectangle);
        else if (auto* polyline = std::get_if<PolylineOp>(&op))
            DrawPolyline(context, *polyline);
        else if (auto* picture = std::get_if<PictureOp>(&op))
            DrawPicture(context, *picture);
        cairo_restore(context);
    }
}

} // namespace plotwise
