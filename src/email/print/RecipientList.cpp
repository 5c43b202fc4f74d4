#include "RecipientList.h"

#include <string>
#include <string_view>

namespace email {

namespace {

// The quotes or brackets, the blank and the separator a part may bring.
constexpr std::uint32_t kPartOverhead = 4;
// Beyond the two lists: the room between them and after the Cc list.
constexpr std::uint32_t kBlockOverhead = 8;
// Each list keeps one unit for its terminating zero.
constexpr std::uint32_t kTerminatorUnits = 1;

std::u16string_view PartOf(const char16_t* text)
{
    return text != nullptr ? std::u16string_view(text) : std::u16string_view();
}

} // namespace

std::uint32_t RecipientLength(const char16_t* name, const char16_t* address)
{
    const std::u16string_view namePart = PartOf(name);
    const std::u16string_view addressPart = PartOf(address);
    std::uint32_t length = 0;
    if (!namePart.empty()) {
        length += static_cast<std::uint32_t>(namePart.size()) + kPartOverhead;
    }
    if (!addressPart.empty()) {
        length += static_cast<std::uint32_t>(addressPart.size()) + kPartOverhead;
    }
    return length;
}

RecipientLists::RecipientLists(RecipientTotals totals)
    : block_(static_cast<std::size_t>(totals.toTotal) + totals.ccTotal + kBlockOverhead, u'\0')
    , ccStart_(totals.toTotal + kPartOverhead)
{
}

void RecipientLists::AppendTo(const char16_t* name, const char16_t* address)
{
    Append(0, ccStart_, toLength_, name, address);
}

void RecipientLists::AppendCc(const char16_t* name, const char16_t* address)
{
    Append(ccStart_, static_cast<std::uint32_t>(block_.size()), ccLength_, name, address);
}

void RecipientLists::Append(
    std::uint32_t start, std::uint32_t end, std::uint32_t& length, const char16_t* name, const char16_t* address)
{
    const std::u16string_view namePart = PartOf(name);
    const std::u16string_view addressPart = PartOf(address);
    if (namePart.empty() && addressPart.empty()) {
        return;
    }
    std::u16string text;
    if (length > 0) {
        text += u"; ";
    }
    if (!namePart.empty()) {
        text += u'"';
        text += namePart;
        text += u'"';
    }
    if (!addressPart.empty()) {
        if (!namePart.empty()) {
            text += u' ';
        }
        text += u'<';
        text += addressPart;
        text += u'>';
    }
    if (static_cast<std::uint64_t>(start) + length + text.size() + kTerminatorUnits > end) {
        return;
    }
    text.copy(block_.data() + start + length, text.size());
    length += static_cast<std::uint32_t>(text.size());
}

} // namespace email
