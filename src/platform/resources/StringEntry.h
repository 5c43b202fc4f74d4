#pragma once

// Building blocks of constexpr string tables, shared by the program's own
// table and the language libraries.

#include "LanguageLibrary.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>

namespace platform {

// An entry whose text is a literal; the literal's terminating zero is the
// stored terminator.
template <std::size_t N> constexpr TallowinString StringEntry(unsigned id, const char16_t (&text)[N])
{
    static_assert(N >= 1);
    return TallowinString { id, static_cast<std::uint32_t>(N - 1), text };
}

// Two literals joined at compile time, so a shared piece of text (the
// support address) is written once and still ends stored entries.
template <std::size_t N> struct JoinedText {
    char16_t text[N] {};
};

template <std::size_t A, std::size_t B>
constexpr JoinedText<A + B - 1> JoinText(const char16_t (&first)[A], const char16_t (&second)[B])
{
    JoinedText<A + B - 1> joined;
    std::copy(first, first + A - 1, joined.text);
    std::copy(second, second + B, joined.text + A - 1);
    return joined;
}

// Sorted by id, ids unique, every text non-empty and terminated where its
// length says. Lookups depend on it; tables assert it at compile time.
constexpr bool IsWellFormedStringTable(std::span<const TallowinString> table)
{
    for (std::size_t i = 0; i < table.size(); ++i) {
        const TallowinString& entry = table[i];
        // A null text cannot be read at compile time either, so the check is
        // left to run time, where the sanitizers' instrumentation of pointer
        // comparisons does not stop constant evaluation.
        if (!std::is_constant_evaluated() && entry.text == nullptr)
            return false;
        if (entry.length == 0 || entry.text[entry.length] != u'\0')
            return false;
        for (std::uint32_t k = 0; k < entry.length; ++k) {
            if (entry.text[k] == u'\0')
                return false;
        }
        if (i > 0 && table[i - 1].id >= entry.id)
            return false;
    }
    return true;
}

} // namespace platform
