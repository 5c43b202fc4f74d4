#include "PutMailChar.h"

namespace email {

namespace {

enum class FilterMode {
    Plain, // no escape in progress
    AfterEquals, // an "=" was seen
    AfterDigit, // "=2" or "=3" was seen
};

MailCharSink currentSink = nullptr;
FilterMode mode = FilterMode::Plain;
char16_t heldDigit = 0; // '2' for a pending =20, '3' for a pending =3D

void Pass(char16_t ch)
{
    if (currentSink != nullptr) {
        currentSink(ch);
    }
}

} // namespace

void SetMailCharSink(MailCharSink sink)
{
    currentSink = sink;
}

void ResetMailCharFilter()
{
    mode = FilterMode::Plain;
    heldDigit = 0;
}

int PutDecodedMailChar(char16_t ch)
{
    Pass(ch);
    return 1;
}

int PutMailChar(char16_t ch)
{
    switch (mode) {
    case FilterMode::Plain:
        if (ch == u'=') {
            mode = FilterMode::AfterEquals;
        } else {
            Pass(ch);
        }
        break;
    case FilterMode::AfterEquals:
        if (ch == u'\r' || ch == u'\n') {
            mode = FilterMode::Plain;
            Pass(ch);
        } else if (ch == u'2' || ch == u'3') {
            mode = FilterMode::AfterDigit;
            heldDigit = ch;
        } else {
            mode = FilterMode::Plain;
        }
        break;
    case FilterMode::AfterDigit: {
        const char16_t third = heldDigit == u'2' ? u'0' : u'D';
        if (ch == third) {
            if (heldDigit == u'3') {
                Pass(u'=');
            }
        } else {
            Pass(u'=');
            Pass(heldDigit);
            Pass(ch);
        }
        mode = FilterMode::Plain;
        heldDigit = 0;
        break;
    }
    }
    return 1;
}

} // namespace email
