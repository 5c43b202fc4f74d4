#include "GlyphOutline.h"

#include "PdfWriter.h"

#include FT_OUTLINE_H

namespace plotwise {
namespace {

// Positions in device units need no finer steps than a hundredth.
constexpr int kCoordinateDecimals = 2;

struct OutlinePath {
    std::string& Out;
    double X;
    double Baseline;
    double Scale;
    double Slant;
    double CurrentX = 0;
    double CurrentY = 0;

    void Point(double fx, double fy)
    {
        AppendReal(Out, X + (fx + Slant * fy) * Scale, kCoordinateDecimals);
        Out += ' ';
        AppendReal(Out, Baseline - fy * Scale, kCoordinateDecimals);
        Out += ' ';
    }
    int Move(const FT_Vector& to) { return Segment(to, "m\n"); }
    int Line(const FT_Vector& to) { return Segment(to, "l\n"); }
    int Segment(const FT_Vector& to, const char* op)
    {
        Point(to.x, to.y);
        Out += op;
        CurrentX = to.x;
        CurrentY = to.y;
        return 0;
    }
    int Conic(const FT_Vector& control, const FT_Vector& to)
    {
        // A quadratic curve as the cubic that draws it.
        double c1x = CurrentX + 2.0 / 3.0 * (control.x - CurrentX);
        double c1y = CurrentY + 2.0 / 3.0 * (control.y - CurrentY);
        double c2x = to.x + 2.0 / 3.0 * (control.x - to.x);
        double c2y = to.y + 2.0 / 3.0 * (control.y - to.y);
        Point(c1x, c1y);
        Point(c2x, c2y);
        Point(to.x, to.y);
        Out += "c\n";
        CurrentX = to.x;
        CurrentY = to.y;
        return 0;
    }
    int Cubic(const FT_Vector& first, const FT_Vector& second, const FT_Vector& to)
    {
        Point(first.x, first.y);
        Point(second.x, second.y);
        Point(to.x, to.y);
        Out += "c\n";
        CurrentX = to.x;
        CurrentY = to.y;
        return 0;
    }
};


} // namespace

bool AppendGlyphOutline(
    std::string& out, const FontFace& face, unsigned glyph, double x, double baseline, double em, double slant)
{
    if (!face.Face || FT_Load_Glyph(face.Face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) != 0
        || face.Face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
        return false;
    OutlinePath path { out, x, baseline, em / (face.UnitsPerEm > 0 ? face.UnitsPerEm : 1000), slant };
    static const FT_Outline_Funcs kFunctions
        = { [](const FT_Vector* to, void* user) { return static_cast<OutlinePath*>(user)->Move(*to); },
              [](const FT_Vector* to, void* user) { return static_cast<OutlinePath*>(user)->Line(*to); },
              [](const FT_Vector* control, const FT_Vector* to, void* user) {
                  return static_cast<OutlinePath*>(user)->Conic(*control, *to);
              },
              [](const FT_Vector* first, const FT_Vector* second, const FT_Vector* to, void* user) {
                  return static_cast<OutlinePath*>(user)->Cubic(*first, *second, *to);
              },
              0, 0 };
    FT_Outline_Decompose(&face.Face->glyph->outline, &kFunctions, &path);
    return true;
}

} // namespace plotwise
