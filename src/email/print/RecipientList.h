#pragma once

// The To and Cc lists of a printed e-mail, built in two passes over the
// recipient table: the first measures, the second writes into one
// zero-filled block sized by the first.

#include <cstdint>
#include <vector>

namespace email {

struct RecipientTotals {
    std::uint32_t toTotal = 0;
    std::uint32_t ccTotal = 0;
};

// The room one recipient takes in a list: (name length + 4) + (address
// length + 4), a missing (null or empty) part taking nothing.
std::uint32_t RecipientLength(const char16_t* name, const char16_t* address);

class RecipientLists {
public:
    // The block of toTotal + ccTotal + 8 units; the To list starts at unit
    // 0, the Cc list at unit toTotal + 4.
    explicit RecipientLists(RecipientTotals totals);

    // Appends "; " when the list holds text, then "name" in double quotes
    // and <address>, a blank between them when both are there. A recipient
    // with neither part is skipped, and one that would not fit in the room
    // measured for its list (a table that changed between the passes) is
    // left out rather than written past it.
    void AppendTo(const char16_t* name, const char16_t* address);
    void AppendCc(const char16_t* name, const char16_t* address);

    const char16_t* To() const { return block_.data(); }
    const char16_t* Cc() const { return block_.data() + ccStart_; }

private:
    void Append(
        std::uint32_t start, std::uint32_t end, std::uint32_t& length, const char16_t* name, const char16_t* address);

    std::vector<char16_t> block_;
    std::uint32_t ccStart_ = 0;
    std::uint32_t toLength_ = 0;
    std::uint32_t ccLength_ = 0;
};

} // namespace email
