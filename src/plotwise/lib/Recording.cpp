/*
 * The recording destination: every drawing call of a page as one line of
 * text, so layouts can be compared exactly, position by position.
 *
 * A page that received something is written as
 *
 *   StartPage N                      N counts the pages written, from 1
 *   ...one line per call...
 *   EndPage
 *
 * Drawing calls, with device units and the arguments as passed:
 *
 *   ExtTextOut x=X y=Y options=O text="..."
 *   ExtTextOut x=X y=Y options=O rect=(L,T,R,B) dx=(D1,D2,...) text="..."
 *       rect only when a rectangle was passed, dx only when widths were.
 *       Y is the top of the text cell, as passed.
 *   Rectangle L T R B pen=PEN brush=BRUSH
 *   Polyline N (X,Y) (X,Y) ... pen=PEN
 *   DrawPict x=X y=Y w=W h=H type=T bytes=B
 *       W and H are the goal size in device units.
 *
 *   PEN is "null" or "solid,WIDTH,0xCOLOR"; BRUSH is "null" or "0xCOLOR".
 *   Colours are COLORREF values, 0x00BBGGRR, eight upper-case hex digits.
 *
 * State lines stand just before the first text call that draws with a new
 * value, and only when the value differs from the one written last on the
 * page; every page starts from black text, white background, background
 * mode 2 (opaque) and no font:
 *
 *   SelectFont "FACE" height=H weight=W italic=I underline=U strike=S charset=C
 *       the LOGFONTW as the program passed it (FACE is the requested face)
 *   SetTextColor 0xCOLOR
 *   SetBkMode M                      1 transparent, 2 opaque
 *   SetBkColor 0xCOLOR
 *
 * Texts are written in UTF-8 between double quotes; a double quote is
 * written \", a backslash \\, and control characters (below U+0020 and
 * U+007F) and unpaired surrogates as \uXXXX with four upper-case hex digits.
 * Lines end with a single line feed. Measuring calls are not recorded.
 */
#include "Destination.h"
#include "OutputFile.h"

#include <cstdio>

namespace plotwise {
namespace {

constexpr COLORREF kDefaultTextColor = 0x00000000;
constexpr COLORREF kDefaultBkColor = 0x00FFFFFF;

std::string Hex(COLORREF color)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08X", color);
    return buffer;
}

std::string Quoted(std::u16string_view text)
{
    std::string result = "\"";
    size_t position = 0;
    while (position < text.size()) {
        size_t start = position;
        char32_t c = NextCharacter(text.data(), text.size(), position);
        if (c == '"') {
            result += "\\\"";
        } else if (c == '\\') {
            result += "\\\\";
        } else if (c < 0x20 || c == 0x7F || (c >= 0xD800 && c < 0xE000)) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04X", static_cast<unsigned>(c));
            result += buffer;
        } else {
            result += Utf16ToUtf8(text.substr(start, position - start));
        }
    }
    return result + "\"";
}

std::string PenText(const PenStyle& pen)
{
    return pen.Null ? "null" : "solid," + std::to_string(pen.Width) + "," + Hex(pen.Color);
}

std::string BrushText(const BrushStyle& brush)
{
    return brush.Null ? "null" : Hex(brush.Color);
}

std::string FontText(const LOGFONTW& font)
{
    size_t length = 0;
    while (length < LF_FACESIZE && font.lfFaceName[length])
        ++length;
    return "SelectFont " + Quoted(std::u16string_view(font.lfFaceName, length))
        + " height=" + std::to_string(font.lfHeight) + " weight=" + std::to_string(font.lfWeight)
        + " italic=" + std::to_string(font.lfItalic) + " underline=" + std::to_string(font.lfUnderline)
        + " strike=" + std::to_string(font.lfStrikeOut) + " charset=" + std::to_string(font.lfCharSet);
}

struct RecordedState {
    std::string FontLine;
    COLORREF TextColor = kDefaultTextColor;
    COLORREF BkColor = kDefaultBkColor;
    int32_t BkMode = OPAQUE;
};

void RecordText(std::string& out, RecordedState& state, const TextOp& op)
{
    std::string fontLine = FontText(op.TextFont->Request());
    if (fontLine != state.FontLine) {
        out += fontLine + "\n";
        state.FontLine = fontLine;
    }
    if (op.TextColor != state.TextColor) {
        out += "SetTextColor " + Hex(op.TextColor) + "\n";
        state.TextColor = op.TextColor;
    }
    if (op.BkMode != state.BkMode) {
        out += "SetBkMode " + std::to_string(op.BkMode) + "\n";
        state.BkMode = op.BkMode;
    }
    if (op.BkColor != state.BkColor) {
        out += "SetBkColor " + Hex(op.BkColor) + "\n";
        state.BkColor = op.BkColor;
    }
    out += "ExtTextOut x=" + std::to_string(op.X) + " y=" + std::to_string(op.Y)
        + " options=" + std::to_string(op.Options);
    if (op.HasRect) {
        out += " rect=(" + std::to_string(op.Rect.left) + "," + std::to_string(op.Rect.top) + ","
            + std::to_string(op.Rect.right) + "," + std::to_string(op.Rect.bottom) + ")";
    }
    if (!op.Dx.empty()) {
        out += " dx=(";
        for (size_t i = 0; i < op.Dx.size(); ++i)
            out += (i ? "," : "") + std::to_string(op.Dx[i]);
        out += ")";
    }
    out += " text=" + Quoted(op.Text) + "\n";
}

class RecordingDestination final : public Destination {
public:
    RecordingDestination(std::string path, bool explicitOutput)
        : path_(std::move(path))
        , existing_(explicitOutput ? ExistingFile::Replace : ExistingFile::KeepAndNumber)
    {
    }

    bool Begin(std::string& error) override { return file_.Open(path_, existing_, error); }

    bool EmitPage(const Page& page, int number, std::string& error) override
    {
        std::string text = RecordPage(page, number);
        if (!file_.Write(text.data(), text.size())) {
            error = CannotWrite(path_, file_.WriteErrno());
            file_.Abandon();
            return false;
        }
        return true;
    }

    bool Finish(int, std::string& error) override { return file_.Commit(error); }
    void Abandon() override { file_.Abandon(); }

private:
    std::string path_;
    ExistingFile existing_;
    OutputFile file_;
};

} // namespace

std::string RecordPage(const Page& page, int number)
{
    std::string out = "StartPage " + std::to_string(number) + "\n";
    RecordedState state;
    for (const DrawOp& op : page.Ops) {
        if (auto* text = std::get_if<TextOp>(&op)) {
            RecordText(out, state, *text);
        } else if (auto* rectangle = std::get_if<RectangleOp>(&op)) {
            const RECT& r = rectangle->Rect;
            out += "Rectangle " + std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right)
                + " " + std::to_string(r.bottom) + " pen=" + PenText(rectangle->Pen)
                + " brush=" + BrushText(rectangle->Brush) + "\n";
        } else if (auto* polyline = std::get_if<PolylineOp>(&op)) {
            out += "Polyline " + std::to_string(polyline->Points.size());
            for (const POINT& point : polyline->Points)
                out += " (" + std::to_string(point.x) + "," + std::to_string(point.y) + ")";
            out += " pen=" + PenText(polyline->Pen) + "\n";
        } else if (auto* picture = std::get_if<PictureOp>(&op)) {
            out += "DrawPict x=" + std::to_string(picture->X) + " y=" + std::to_string(picture->Y)
                + " w=" + std::to_string(picture->Width) + " h=" + std::to_string(picture->Height)
                + " type=" + std::to_string(picture->Type) + " bytes=" + std::to_string(picture->DataSize) + "\n";
        }
    }
    return out + "EndPage\n";
}

std::unique_ptr<Destination> CreateRecordingDestination(const std::string& path, bool explicitOutput)
{
    return std::make_unique<RecordingDestination>(path, explicitOutput);
}

} // namespace plotwise
