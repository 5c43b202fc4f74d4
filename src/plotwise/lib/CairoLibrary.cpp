// The calls of cairo the library makes, bound when a job first uses one.
// Only PNG pages are drawn with cairo, and pictures are decoded into its
// image surfaces; linked the ordinary way, cairo and the
// libraries behind it (pixman, X11 and the X protocol libraries) would be
// loaded and relocated at every start of every caller, a sixth of a short
// PDF job's instructions. The definitions below take the place of cairo's
// own for the rest of the printing library; the export list keeps them
// private to it.
//
// Without cairo every call fails the way cairo reports a failure (no
// object, an out-of-memory status), and CairoLibraryLoaded says so first.

#include "CairoLibrary.h"

#include <cairo-ft.h>
#include <cairo.h>
#include <dlfcn.h>

namespace {

// The name cairo is installed under, as the linker would record it.
constexpr const char* kCairoLibrary = "libcairo.so.2";

void* CairoLibrary()
{
    static void* const library = dlopen(kCairoLibrary, RTLD_NOW | RTLD_LOCAL);
    return library;
}

// cairo's own function of the same type as ours, or null.
template <typename Function> Function CairoFunction(Function, const char* name)
{
    void* library = CairoLibrary();
    return library ? reinterpret_cast<Function>(dlsym(library, name)) : nullptr;
}

#define PLOTWISE_CAIRO_FUNCTION(name) static const auto real = CairoFunction(&name, #name)

} // namespace

namespace plotwise {

bool CairoLibraryLoaded()
{
    return CairoLibrary() != nullptr;
}

} // namespace plotwise

extern "C" {

void cairo_clip(cairo_t* cr)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_clip);
    if (real)
        real(cr);
}

cairo_t* cairo_create(cairo_surface_t* target)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_create);
    return real ? real(target) : nullptr;
}

void cairo_destroy(cairo_t* cr)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_destroy);
    if (real)
        real(cr);
}

void cairo_fill(cairo_t* cr)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_fill);
    if (real)
        real(cr);
}

void cairo_fill_preserve(cairo_t* cr)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_fill_preserve);
    if (real)
        real(cr);
}

cairo_font_options_t* cairo_font_options_create()
{
    PLOTWISE_CAIRO_FUNCTION(cairo_font_options_create);
    return real ? real() : nullptr;
}

void cairo_font_options_destroy(cairo_font_options_t* options)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_font_options_destroy);
    if (real)
        real(options);
}

void cairo_font_options_set_hint_metrics(cairo_font_options_t* options, cairo_hint_metrics_t hint_metrics)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_font_options_set_hint_metrics);
    if (real)
        real(options, hint_metrics);
}

void cairo_font_options_set_hint_style(cairo_font_options_t* options, cairo_hint_style_t hint_style)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_font_options_set_hint_style);
    if (real)
        real(options, hint_style);
}

cairo_font_face_t* cairo_ft_font_face_create_for_ft_face(FT_Face face, int load_flags)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_ft_font_face_create_for_ft_face);
    return real ? real(face, load_flags) : nullptr;
}

cairo_pattern_t* cairo_get_source(cairo_t* cr)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_get_source);
    return real ? real(cr) : nullptr;
}

void cairo_glyph_path(cairo_t* cr, const cairo_glyph_t* glyphs, int num_glyphs)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_glyph_path);
    if (real)
        real(cr, glyphs, num_glyphs);
}

cairo_surface_t* cairo_image_surface_create(cairo_format_t format, int width, int height)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_image_surface_create);
    return real ? real(format, width, height) : nullptr;
}

unsigned char* cairo_image_surface_get_data(cairo_surface_t* surface)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_image_surface_get_data);
    return real ? real(surface) : nullptr;
}

cairo_format_t cairo_image_surface_get_format(cairo_surface_t* surface)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_image_surface_get_format);
    return real ? real(surface) : CAIRO_FORMAT_INVALID;
}

int cairo_image_surface_get_height(cairo_surface_t* surface)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_image_surface_get_height);
    return real ? real(surface) : 0;
}

int cairo_image_surface_get_stride(cairo_surface_t* surface)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_image_surface_get_stride);
    return real ? real(surface) : 0;
}

int cairo_image_surface_get_width(cairo_surface_t* surface)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_image_surface_get_width);
    return real ? real(surface) : 0;
}

void cairo_line_to(cairo_t* cr, double x, double y)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_line_to);
    if (real)
        real(cr, x, y);
}

void cairo_matrix_init(cairo_matrix_t* matrix, double xx, double yx, double xy, double yy, double x0, double y0)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_matrix_init);
    if (real)
        real(matrix, xx, yx, xy, yy, x0, y0);
}

void cairo_move_to(cairo_t* cr, double x, double y)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_move_to);
    if (real)
        real(cr, x, y);
}

void cairo_paint(cairo_t* cr)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_paint);
    if (real)
        real(cr);
}

void cairo_pattern_set_extend(cairo_pattern_t* pattern, cairo_extend_t extend)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_pattern_set_extend);
    if (real)
        real(pattern, extend);
}

void cairo_pattern_set_filter(cairo_pattern_t* pattern, cairo_filter_t filter)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_pattern_set_filter);
    if (real)
        real(pattern, filter);
}



void cairo_rectangle(cairo_t* cr, double x, double y, double width, double height)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_rectangle);
    if (real)
        real(cr, x, y, width, height);
}

void cairo_restore(cairo_t* cr)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_restore);
    if (real)
        real(cr);
}

void cairo_save(cairo_t* cr)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_save);
    if (real)
        real(cr);
}

void cairo_scale(cairo_t* cr, double sx, double sy)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_scale);
    if (real)
        real(cr, sx, sy);
}

void cairo_set_font_face(cairo_t* cr, cairo_font_face_t* font_face)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_set_font_face);
    if (real)
        real(cr, font_face);
}

void cairo_set_font_matrix(cairo_t* cr, const cairo_matrix_t* matrix)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_set_font_matrix);
    if (real)
        real(cr, matrix);
}

void cairo_set_font_options(cairo_t* cr, const cairo_font_options_t* options)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_set_font_options);
    if (real)
        real(cr, options);
}

void cairo_set_line_cap(cairo_t* cr, cairo_line_cap_t line_cap)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_set_line_cap);
    if (real)
        real(cr, line_cap);
}

void cairo_set_line_join(cairo_t* cr, cairo_line_join_t line_join)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_set_line_join);
    if (real)
        real(cr, line_join);
}

void cairo_set_line_width(cairo_t* cr, double width)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_set_line_width);
    if (real)
        real(cr, width);
}

void cairo_set_operator(cairo_t* cr, cairo_operator_t op)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_set_operator);
    if (real)
        real(cr, op);
}

void cairo_set_source_rgb(cairo_t* cr, double red, double green, double blue)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_set_source_rgb);
    if (real)
        real(cr, red, green, blue);
}

void cairo_set_source_surface(cairo_t* cr, cairo_surface_t* surface, double x, double y)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_set_source_surface);
    if (real)
        real(cr, surface, x, y);
}

void cairo_show_glyphs(cairo_t* cr, const cairo_glyph_t* glyphs, int num_glyphs)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_show_glyphs);
    if (real)
        real(cr, glyphs, num_glyphs);
}


cairo_status_t cairo_status(cairo_t* cr)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_status);
    return real ? real(cr) : CAIRO_STATUS_NO_MEMORY;
}

void cairo_stroke(cairo_t* cr)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_stroke);
    if (real)
        real(cr);
}

void cairo_surface_destroy(cairo_surface_t* surface)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_surface_destroy);
    if (real)
        real(surface);
}


void cairo_surface_flush(cairo_surface_t* surface)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_surface_flush);
    if (real)
        real(surface);
}

void cairo_surface_mark_dirty(cairo_surface_t* surface)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_surface_mark_dirty);
    if (real)
        real(surface);
}

cairo_status_t cairo_surface_status(cairo_surface_t* surface)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_surface_status);
    return real ? real(surface) : CAIRO_STATUS_NO_MEMORY;
}

cairo_status_t cairo_surface_write_to_png_stream(cairo_surface_t* surface, cairo_write_func_t write_func, void* closure)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_surface_write_to_png_stream);
    return real ? real(surface, write_func, closure) : CAIRO_STATUS_NO_MEMORY;
}

void cairo_translate(cairo_t* cr, double tx, double ty)
{
    PLOTWISE_CAIRO_FUNCTION(cairo_translate);
    if (real)
        real(cr, tx, ty);
}

} // extern "C"
