#include "FormattedDocument.h"

#include <array>

namespace bench {

std::string FormattedRtf(int paragraphs)
{
    std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman\\fcharset0 Liberation Serif;}"
                      "{\\f1\\fswiss\\fcharset0 Liberation Sans;}{\\f2\\fmodern\\fcharset0 Liberation Mono;}"
                      "{\\f3\\fswiss\\fcharset204 Liberation Sans;}}"
                      "{\\colortbl;\\red0\\green0\\blue0;\\red30\\green80\\blue200;\\red200\\green40\\blue40;}\r\n"
                      "{\\info{\\title Generated}}{\\header \\pard\\plain header\\par}\r\n";
    static constexpr std::array kAlignments = { "\\qj", "\\ql", "\\qj", "\\qr", "\\qj", "\\qc" };
    for (int i = 0; i < paragraphs; ++i) {
        if (i % 12 == 0) {
            rtf += "\\pard\\plain\\sb240\\f1\\fs28\\b\\cf2 Section " + std::to_string(i / 12 + 1) + "\\par\r\n";
            continue;
        }
        if (i % 12 == 6) {
            rtf += "\\pard\\plain\\tx2880\\tx5760\\f2\\fs20 Item " + std::to_string(i)
                + "\\tab 12,40 \\'80\\tab {\\b done}\\par\r\n";
            continue;
        }
        rtf += "\\pard\\plain";
        rtf += kAlignments[static_cast<std::size_t>(i) % kAlignments.size()];
        if (i % 4 == 1)
            rtf += "\\li720\\ri360\\fi-360";
        else
            rtf += "\\fi360";
        rtf += "\\f0\\fs24 Paragraph " + std::to_string(i)
            + " begins with plain words and goes on with {\\b bold words}, {\\i italic words} and "
              "{\\ul underlined words}; the caf\\'e9 on the quay serves cr\\'e8me br\\'fbl\\'e9e, and "
              "{\\cf3 red words} stand out. {\\f3 \\'cf\\'f0\\'e8\\'f1\\'f2\\'e0\\'ed\\'fc} means a quay, and "
              "\\u28207\\'3f\\u12398\\'3f\\u28207\\'3f is a harbour in another script. The rest of the paragraph "
              "is long enough to wrap over several lines, so that line breaking, justification and the "
              "measuring of runs all take their share of the work.\\par\r\n";
    }
    rtf += "}\r\n";
    return rtf;
}

} // namespace bench
