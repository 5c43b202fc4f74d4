#pragma once

// The printing of one e-mail message as a print job of its own: header
// lines in the header font, the attachment names, a blank line and the body
// in the body font, then a page break. The message is read through the
// session and store of the e-mail view (MailSession.h).

#include "MailSession.h"

#include <cstdint>
#include <span>

namespace email {

inline constexpr unsigned kEmailPrintFailedMessage = 40045;

inline constexpr std::uint16_t kStepPrintOpenStore = 19;
inline constexpr std::uint16_t kStepPrintOpenMessage = 20;
inline constexpr std::uint16_t kStepPrintProperties = 21;
inline constexpr std::uint16_t kStepPrintBodyRead = 24;

// Whether the e-mail view is rebuilt after the print. A start that prints
// one message file has no view to rebuild.
enum class MailViewRefresh { Refresh, NoView };

// Prints the message whose entry identifier is given. Failures are shown
// to the user (message 40045); a cancelled print dialog shows nothing.
// Returns 1 in every case.
int PrintMailMessage(const EntryIdBlock* entry);

// As PrintMailMessage, and returns the first failed step of the print (0
// when none failed); the outcome of the job itself is the print job's
// FinalStatus.
std::uint16_t PrintMailMessageWithStep(const EntryIdBlock* entry, MailViewRefresh refresh);

// The messages one after another as one job, each starting a new page; stops
// at the first message that fails and returns its step.
std::uint16_t PrintMailMessagesWithStep(std::span<const EntryIdBlock> entries, MailViewRefresh refresh);

// A tap on row `row` of the message list (-1: beside the rows): records the
// row as the selected one and prints its message from a private copy of its
// entry identifier, with the print job's Printing flag set meanwhile. A row
// that the list does not hold prints nothing.
void PrintTappedMessage(std::int32_t row);

// The row of the last tap, -1 for none.
std::int32_t SelectedMailRow();

// Points PutMailChar at the print engine's text flow and the e-mail texts
// at the string table of the resource module. PrintMailMessage does it
// itself; it is public for callers that feed PutMailChar on their own.
void ConnectMailOutput();

} // namespace email
