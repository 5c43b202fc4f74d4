#include "MailLines.h"

#include "MailStrings.h"
#include "PutMailChar.h"
#include "StringIds.h"

#include <array>

namespace email {

namespace {

constexpr char16_t kCarriageReturn = 13;
constexpr char16_t kLineFeed = 10;
constexpr char16_t kBlankValue[] = u" ";

constexpr std::array<unsigned, kHeaderKindCount> kHeaderLabelIds = {
    platform::kStrHeaderSubject,
    platform::kStrHeaderSent,
    platform::kStrHeaderFrom,
    platform::kStrHeaderTo,
    platform::kStrHeaderCc,
};

using Order = std::array<HeaderKind, kHeaderKindCount>;
constexpr std::array<Order, 3> kHeaderOrders = { {
    { HeaderKind::Subject, HeaderKind::Sent, HeaderKind::From, HeaderKind::To, HeaderKind::Cc },
    { HeaderKind::To, HeaderKind::Cc, HeaderKind::From, HeaderKind::Subject, HeaderKind::Sent },
    { HeaderKind::From, HeaderKind::Sent, HeaderKind::To, HeaderKind::Cc, HeaderKind::Subject },
} };

} // namespace

std::span<const HeaderKind> HeaderOrder(std::int32_t mailHeaderOrder)
{
    if (mailHeaderOrder < 0 || mailHeaderOrder >= static_cast<std::int32_t>(kHeaderOrders.size())) {
        return {};
    }
    return kHeaderOrders[static_cast<std::size_t>(mailHeaderOrder)];
}

void PutMailLineEnd()
{
    PutMailChar(kCarriageReturn);
    PutMailChar(kLineFeed);
}

void PutMailText(const char16_t* text)
{
    if (text == nullptr) {
        return;
    }
    for (; *text != 0; ++text) {
        PutDecodedMailChar(*text);
    }
}

void PutMailLine(const char16_t* text)
{
    PutMailText(text);
    PutMailLineEnd();
}

void PrintHeaderLine(HeaderKind kind, const char16_t* value)
{
    if (value == nullptr || *value == 0) {
        if (kind == HeaderKind::Cc) {
            return;
        }
        value = kBlankValue;
    }
    // The label is cut like a string-table load into a buffer of 50 units.
    char16_t label[kHeaderLabelUnits] = {};
    if (const char16_t* text = LoadMailString(kHeaderLabelIds[static_cast<std::size_t>(kind)], kHeaderLabelUnits)) {
        for (std::size_t i = 0; i + 1 < kHeaderLabelUnits && text[i] != 0; ++i) {
            label[i] = text[i];
        }
    }
    PutMailText(label);
    PutMailLine(value);
}

} // namespace email
