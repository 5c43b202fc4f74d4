#pragma once

// What one row of the message list shows: the sender's address, the date it
// arrived (else when it last changed) as the locale's short date, the
// subject, and whether the message is unread. Read from the message itself
// when the row is drawn, so a folder opens without reading every message.

#include <cstdint>
#include <optional>
#include <string>

namespace email {

inline constexpr std::uint16_t kStepRowOpenMessage = 51;
inline constexpr std::uint16_t kStepRowProperties = 52;

struct MailRowText {
    std::u16string Sender;
    std::u16string Date;
    std::u16string Subject;
    bool Unread = false;
};

// Row `row` of the current folder's list; nothing (the row stays blank, the
// failed step recorded) when the message cannot be opened or read.
std::optional<MailRowText> ReadMailRow(std::int32_t row);

} // namespace email
