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

#include <charconv>

namespace plotwise {
namespace {

constexpr COLORREF kDefaultTextColor = 0x00000000;
constexpr COLORREF kDefaultBkColor = 0x00FFFFFF;
// The recording of a page is written in one piece; a line takes about this
// many bytes, so most pages are written without growing the text.
constexpr size_t kTypicalLineBytes = 80;

// Writes the digits straight into the text, which has room for the longest.
void AppendNumber(std::string& out, int64_t value)
{
    constexpr size_t kLongestNumber = 20; // "-9223372036854775808"
    const size_t start = out.size();
    out.resize(start + kLongestNumber);
    const auto [end, error] = std::to_chars(out.data() + start, out.data() + out.size(), value);
    out.resize(static_cast<size_t>(end - out.data()));
}

// Upper-case hex digits, zero-padded to `digits`.
// Writes `digits` upper-case hex digits of value, zero-padded; returns the end.
char* WriteHexDigits(char* out, uint32_t value, int digits)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        *out++ = kDigits[(value >> shift) & 0xF];
    return out;
}

void AppendHex(std::string& out, COLORREF color)
{
    constexpr int kColorDigits = 8;
    char text[2 + kColorDigits] = { '0', 'x' };
    out.append(text, WriteHexDigits(text + 2, color, kColorDigits));
}

void AppendQuoted(std::string& out, std::u16string_view text)
{
    // A unit takes at most six bytes ("\uXXXX"); the text is written in place
    // and the room left over given back.
    constexpr size_t kMostBytesPerUnit = 6;
    const size_t start = out.size();
    out.resize(start + text.size() * kMostBytesPerUnit + 2);
    char* end = out.data() + start;
    *end++ = '"';
    size_t position = 0;
    while (position < text.size()) {
        const char32_t c = NextCharacter(text.data(), text.size(), position);
        if (c == '"' || c == '\\') {
            *end++ = '\\';
            *end++ = static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F || (c >= 0xD800 && c < 0xE000)) {
            *end++ = '\\';
            *end++ = 'u';
            end = WriteHexDigits(end, c, 4);
        } else {
            end = WriteUtf8(end, c);
        }
    }
    *end++ = '"';
    out.resize(static_cast<size_t>(end - out.data()));
}

void AppendPen(std::string& out, const PenStyle& pen)
{
    if (pen.Null) {
        out += "null";
        return;
    }
    out += "solid,";
    AppendNumber(out, pen.Width);
    out += ',';
    AppendHex(out, pen.Color);
}

void AppendBrush(std::string& out, const BrushStyle& brush)
{
    if (brush.Null)
        out += "null";
    else
        AppendHex(out, brush.Color);
}

std::string FontText(const LOGFONTW& font)
{
    size_t length = 0;
    while (length < LF_FACESIZE && font.lfFaceName[length])
        ++length;
    std::string line = "SelectFont ";
    AppendQuoted(line, std::u16string_view(font.lfFaceName, length));
    line += " height=";
    AppendNumber(line, font.lfHeight);
    line += " weight=";
    AppendNumber(line, font.lfWeight);
    line += " italic=";
    AppendNumber(line, font.lfItalic);
    line += " underline=";
    AppendNumber(line, font.lfUnderline);
    line += " strike=";
    AppendNumber(line, font.lfStrikeOut);
    line += " charset=";
    AppendNumber(line, font.lfCharSet);
    return line;
}

struct RecordedState {
    // The font of the text written last, whose line FontLine is.
    const Font* LastFont = nullptr;
    std::string FontLine;
    COLORREF TextColor = kDefaultTextColor;
    COLORREF BkColor = kDefaultBkColor;
    int32_t BkMode = OPAQUE;
};

void RecordText(std::string& out, RecordedState& state, const TextOp& op)
{
    // Texts in a row mostly share one font, whose line is then known.
    if (op.TextFont.get() != state.LastFont) {
        std::string fontLine = FontText(op.TextFont->Request());
        state.LastFont = op.TextFont.get();
        if (fontLine != state.FontLine) {
            out += fontLine;
            out += '\n';
            state.FontLine = std::move(fontLine);
        }
    }
    if (op.TextColor != state.TextColor) {
        out += "SetTextColor ";
        AppendHex(out, op.TextColor);
        out += '\n';
        state.TextColor = op.TextColor;
    }
    if (op.BkMode != state.BkMode) {
        out += "SetBkMode ";
        AppendNumber(out, op.BkMode);
        out += '\n';
        state.BkMode = op.BkMode;
    }
    if (op.BkColor != state.BkColor) {
        out += "SetBkColor ";
        AppendHex(out, op.BkColor);
        out += '\n';
        state.BkColor = op.BkColor;
    }
    out += "ExtTextOut x=";
    AppendNumber(out, op.X);
    out += " y=";
    AppendNumber(out, op.Y);
    out += " options=";
    AppendNumber(out, op.Options);
    if (op.HasRect) {
        out += " rect=(";
        AppendNumber(out, op.Rect.left);
        out += ',';
        AppendNumber(out, op.Rect.top);
        out += ',';
        AppendNumber(out, op.Rect.right);
        out += ',';
        AppendNumber(out, op.Rect.bottom);
        out += ')';
    }
    if (!op.Dx.empty()) {
        out += " dx=(";
        for (size_t i = 0; i < op.Dx.size(); ++i) {
            if (i > 0)
                out += ',';
            AppendNumber(out, op.Dx[i]);
        }
        out += ')';
    }
    out += " text=";
    AppendQuoted(out, op.Text);
    out += '\n';
}

void RecordRectangle(std::string& out, const RectangleOp& op)
{
    out += "Rectangle ";
    AppendNumber(out, op.Rect.left);
    out += ' ';
    AppendNumber(out, op.Rect.top);
    out += ' ';
    AppendNumber(out, op.Rect.right);
    out += ' ';
    AppendNumber(out, op.Rect.bottom);
    out += " pen=";
    AppendPen(out, op.Pen);
    out += " brush=";
    AppendBrush(out, op.Brush);
    out += '\n';
}

void RecordPolyline(std::string& out, const PolylineOp& op)
{
    out += "Polyline ";
    AppendNumber(out, static_cast<int64_t>(op.Points.size()));
    for (const POINT& point : op.Points) {
        out += " (";
        AppendNumber(out, point.x);
        out += ',';
        AppendNumber(out, point.y);
        out += ')';
    }
    out += " pen=";
    AppendPen(out, op.Pen);
    out += '\n';
}

void RecordPicture(std::string& out, const PictureOp& op)
{
    out += "DrawPict x=";
    AppendNumber(out, op.X);
    out += " y=";
    AppendNumber(out, op.Y);
    out += " w=";
    AppendNumber(out, op.Width);
    out += " h=";
    AppendNumber(out, op.Height);
    out += " type=";
    AppendNumber(out, op.Type);
    out += " bytes=";
    AppendNumber(out, op.DataSize);
    out += '\n';
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
    std::string Where() const override { return file_.FinalPath(); }
    void Abandon() override { file_.Abandon(); }

private:
    std::string path_;
    ExistingFile existing_;
    OutputFile file_;
};

} // namespace

std::string RecordPage(const Page& page, int number)
{
    std::string out;
    out.reserve((page.Ops.size() + 2) * kTypicalLineBytes);
    out += "StartPage ";
    AppendNumber(out, number);
    out += '\n';
    RecordedState state;
    for (const DrawOp& op : page.Ops) {
        if (auto* text = std::get_if<TextOp>(&op))
            RecordText(out, state, *text);
        else if (auto* rectangle = std::get_if<RectangleOp>(&op))
            RecordRectangle(out, *rectangle);
        else if (auto* polyline = std::get_if<PolylineOp>(&op))
            RecordPolyline(out, *polyline);
        else if (auto* picture = std::get_if<PictureOp>(&op))
            RecordPicture(out, *picture);
    }
    out += "EndPage\n";
    return out;
}

std::unique_ptr<Destination> CreateRecordingDestination(const std::string& path, bool explicitOutput)
{
    return std::make_unique<RecordingDestination>(path, explicitOutput);
}

} // namespace plotwise
