#include "RtfRouteSymbols.h"

#include <array>

namespace platform {
namespace {

// Symbol's letters and signs from 0x20 to 0x7F (0: not mapped).
constexpr std::array<char16_t, 96> kSymbolLow = { u' ', u'!', u'\u2200', u'#', u'\u2203', u'%', u'&', u'\u220B', u'(',
    u')', u'\u2217', u'+', u',', u'\u2212', u'.', u'/', u'0', u'1', u'2', u'3', u'4', u'5', u'6', u'7', u'8', u'9',
    u':', u';', u'<', u'=', u'>', u'?', u'\u2245', u'\u0391', u'\u0392', u'\u03A7', u'\u0394', u'\u0395', u'\u03A6',
    u'\u0393', u'\u0397', u'\u0399', u'\u03D1', u'\u039A', u'\u039B', u'\u039C', u'\u039D', u'\u039F', u'\u03A0',
    u'\u0398', u'\u03A1', u'\u03A3', u'\u03A4', u'\u03A5', u'\u03C2', u'\u03A9', u'\u039E', u'\u03A8', u'\u0396', u'[',
    u'\u2234', u']', u'\u22A5', u'_', u'\u203E', u'\u03B1', u'\u03B2', u'\u03C7', u'\u03B4', u'\u03B5', u'\u03C6',
    u'\u03B3', u'\u03B7', u'\u03B9', u'\u03D5', u'\u03BA', u'\u03BB', u'\u03BC', u'\u03BD', u'\u03BF', u'\u03C0',
    u'\u03B8', u'\u03C1', u'\u03C3', u'\u03C4', u'\u03C5', u'\u03D6', u'\u03C9', u'\u03BE', u'\u03C8', u'\u03B6', u'{',
    u'|', u'}', u'\u223C', 0 };

} // namespace

char16_t SymbolCharacter(std::uint8_t code, SymbolFace face)
{
    if (face == SymbolFace::Symbol) {
        if (code >= 0x20 && code < 0x7F)
            return kSymbolLow[code - 0x20];
        switch (code) {
        case 0xA3:
            return u'\u2264';
        case 0xA5:
            return u'\u221E';
        case 0xAB:
            return u'\u2194';
        case 0xAC:
            return u'\u2190';
        case 0xAD:
            return u'\u2191';
        case 0xAE:
            return u'\u2192';
        case 0xAF:
            return u'\u2193';
        case 0xB0:
            return u'\u00B0';
        case 0xB1:
            return u'\u00B1';
        case 0xB3:
            return u'\u2265';
        case 0xB4:
            return u'\u00D7';
        case 0xB5:
            return u'\u221D';
        case 0xB6:
            return u'\u2202';
        case 0xB7:
            return u'\u2022';
        case 0xB8:
            return u'\u00F7';
        case 0xB9:
            return u'\u2260';
        case 0xBA:
            return u'\u2261';
        case 0xBB:
            return u'\u2248';
        case 0xC5:
            return u'\u2295';
        case 0xC6:
            return u'\u2205';
        case 0xC7:
            return u'\u2229';
        case 0xC8:
            return u'\u222A';
        case 0xCE:
            return u'\u2208';
        case 0xD1:
            return u'\u2207';
        case 0xD3:
            return u'\u00A9';
        case 0xD4:
            return u'\u2122';
        case 0xD5:
            return u'\u220F';
        case 0xD6:
            return u'\u221A';
        case 0xD7:
            return u'\u22C5';
        case 0xD8:
            return u'\u00AC';
        case 0xD9:
            return u'\u2227';
        case 0xDA:
            return u'\u2228';
        case 0xDE:
            return u'\u21D2';
        case 0xE5:
            return u'\u2211';
        case 0xF2:
            return u'\u222B';
        default:
            return u'\u2022';
        }
    }
    switch (code) {
    case 0x4A:
        return u'\u263A';
    case 0x6C:
        return u'\u25CF';
    case 0x6E:
        return u'\u25A0';
    case 0x6F:
        return u'\u25A1';
    case 0x71:
        return u'\u2751';
    case 0x76:
        return u'\u2756';
    case 0xA7:
        return u'\u25AA';
    case 0xA8:
        return u'\u25FB';
    case 0xD8:
        return u'\u27A2';
    case 0xE0:
        return u'\u2192';
    case 0xE8:
        return u'\u2794';
    case 0xFB:
        return u'\u2718';
    case 0xFC:
        return u'\u2714';
    case 0xFE:
        return u'\u2611';
    default:
        return u'\u2022';
    }
}

SymbolFace SymbolFaceOf(std::string_view face)
{
    if (face == "Symbol")
        return SymbolFace::Symbol;
    if (face == "Wingdings" || face == "Wingdings 2" || face == "Wingdings 3" || face == "Webdings")
        return SymbolFace::Dingbats;
    return SymbolFace::None;
}

} // namespace platform
