#include "MailPrint.h"

#include "AppSettings.h"
#include "MailLines.h"
#include "MailStoreAccess.h"
#include "MailStrings.h"
#include "MapiMemory.h"
#include "Messages.h"
#include "MimeMessage.h"
#include "PrintJob.h"
#include "PutMailChar.h"
#include "RecipientList.h"
#include "SentText.h"
#include "SettingsStore.h"
#include "StringIds.h"
#include "TextFlow.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace email {

using platform::HRESULT;
using platform::IMAPITable;
using platform::IMessage;
using platform::SPropValue;
using platform::SRowSet;
using platform::ULONG;

namespace {

constexpr std::int32_t kHalfPointsPerPoint = 2;
constexpr char16_t kTab = 9;
constexpr char16_t kFormFeed = 12;
// The body stream is read in blocks of this many bytes.
constexpr ULONG kBodyReadBytes = 256;

// The message properties, in the order of the one GetProps call.
constexpr std::array<ULONG, 4> kMessageTags = {
    platform::PR_SENDER_EMAIL_ADDRESS_W,
    platform::PR_MESSAGE_DELIVERY_TIME,
    platform::PR_SUBJECT_W,
    platform::PR_LAST_MODIFICATION_TIME,
};
constexpr std::size_t kSenderPosition = 0;
constexpr std::size_t kDeliveryPosition = 1;
constexpr std::size_t kSubjectPosition = 2;
constexpr std::size_t kModificationPosition = 3;

constexpr std::array<ULONG, 1> kAttachmentColumns = { platform::PR_ATTACH_FILENAME_W };
constexpr std::array<ULONG, 2> kForwardColumns = { platform::PR_ATTACH_NUM, platform::PR_ATTACH_METHOD };
// A forwarded message may forward another; past this depth they are only
// listed among the attachments.
constexpr int kMaxForwardDepth = 4;
// The rule that sets a forwarded message off from what comes before it.
constexpr std::u16string_view kForwardRule = u"----------------------------------------";

std::int32_t selectedRow = -1;

void PutFlowCharSink(char16_t ch)
{
    printengine::PutFlowChar(ch);
}

const char16_t* LoadProgramString(unsigned id, std::size_t)
{
    return core::LoadResString(core::ResourceModule(), id, nullptr, 0);
}

enum class FontRole { Header, Body };

// Defines the header or body font as the next font table entry and makes it
// the current format.
void DefineMailFont(FontRole role)
{
    const core::AppSettings& settings = core::Settings();
    const bool header = role == FontRole::Header;
    printengine::SetFaceName(header ? settings.MailHeaderFontFace : settings.MailBodyFontFace);
    printengine::CharFormat& format = printengine::CurrentCharFormat();
    format = {};
    format.Bold = header ? settings.MailHeaderBold : settings.MailBodyBold;
    format.Italic = header ? settings.MailHeaderItalic : settings.MailBodyItalic;
    format.FontNumber = printengine::Flow().FontCount;
    format.Size = (header ? settings.MailHeaderFontSize : settings.MailBodyFontSize) * kHalfPointsPerPoint;
    printengine::CurrentFontDefinition().Charset = header ? settings.MailHeaderCharset : settings.MailBodyCharset;
    printengine::AddFontTableEntry();
}

// The two fonts of a job, each defined on its first use; the messages after
// the first of a job use the same table entries again.
struct MailFonts {
    std::optional<printengine::CharFormat> header;
    std::optional<printengine::CharFormat> body;
};

void UseMailFont(FontRole role, MailFonts& fonts)
{
    std::optional<printengine::CharFormat>& saved = role == FontRole::Header ? fonts.header : fonts.body;
    if (saved) {
        printengine::CurrentCharFormat() = *saved;
        return;
    }
    DefineMailFont(role);
    saved = printengine::CurrentCharFormat();
}

const SPropValue* FindColumn(const platform::SRow& row, ULONG tag)
{
    for (ULONG i = 0; i < row.cValues; ++i) {
        if (row.lpProps[i].ulPropTag == tag) {
            return &row.lpProps[i];
        }
    }
    return nullptr;
}

const char16_t* TextColumn(const platform::SRow& row, ULONG tag)
{
    const SPropValue* value = FindColumn(row, tag);
    return value != nullptr ? value->Value.lpszW : nullptr;
}

// Calls `visit` for each row of the table, fetched one at a time.
template <typename Visit> void ForEachRow(IMAPITable& table, Visit visit)
{
    for (;;) {
        SRowSet* rows = nullptr;
        if (!platform::Succeeded(table.QueryRows(1, 0, &rows)) || rows == nullptr) {
            platform::FreeProws(rows);
            return;
        }
        const bool empty = rows->cRows == 0;
        if (!empty) {
            visit(rows->aRow[0]);
        }
        platform::FreeProws(rows);
        if (empty) {
            return;
        }
    }
}

// Everything one print holds, released by the clean-up on every path.
struct MailPrintState {
    std::unique_ptr<platform::IMAPIProp> messageObject;
    IMessage* message = nullptr;
    SPropValue* values = nullptr;
    ULONG valueCount = 0;
    std::optional<RecipientLists> recipients;
    bool mimeRoute = false;
    std::optional<std::u16string> mimeTo;
    std::optional<std::u16string> mimeCc;
    std::vector<std::uint8_t> mimeBody;
    std::int32_t mimeBodyLength = 0;
    std::unique_ptr<platform::IStream> bodyStream;

    const SPropValue* Value(std::size_t position) const
    {
        if (values == nullptr || position >= valueCount || values[position].ulPropTag != kMessageTags[position]) {
            return nullptr;
        }
        return &values[position];
    }
    const char16_t* Text(std::size_t position) const
    {
        const SPropValue* value = Value(position);
        return value != nullptr ? value->Value.lpszW : nullptr;
    }
};

bool OpenMessage(const EntryIdBlock* entry, MailPrintState& state)
{
    MailSession& mail = Mail();
    if (!mail.store) {
        if (!mail.session) {
            return FailMailStep(kStepPrintOpenStore);
        }
        if (!CheckMailStep(mail.session->OpenMsgStore(0, EntryIdBytesOf(mail.MailStoreEntryId), 0, &mail.store),
                kStepPrintOpenStore)
            || !mail.store) {
            return FailMailStep(kStepPrintOpenStore);
        }
    }
    if (entry == nullptr) {
        return FailMailStep(kStepPrintOpenMessage);
    }
    if (!CheckMailStep(
            mail.store->OpenEntry(EntryIdBytesOf(entry), 0, nullptr, &state.messageObject), kStepPrintOpenMessage)) {
        return false;
    }
    state.message = platform::AsMessage(state.messageObject.get());
    if (state.message == nullptr) {
        return FailMailStep(kStepPrintOpenMessage);
    }
    return CheckMailStep(
        state.message->GetProps(kMessageTags, platform::MAPI_UNICODE, &state.valueCount, &state.values),
        kStepPrintProperties);
}

// The two passes over the recipient table. False when the table cannot be
// had, which sends the print down the MIME route.
bool ReadRecipients(MailPrintState& state)
{
    RecipientTotals totals;
    for (int pass = 0; pass < 2; ++pass) {
        std::unique_ptr<IMAPITable> table;
        if (state.message->GetRecipientTable(platform::MAPI_DEFERRED_ERRORS, &table) != platform::S_OK || !table) {
            state.recipients.reset();
            return false;
        }
        ForEachRow(*table, [&](const platform::SRow& row) {
            const SPropValue* type = FindColumn(row, platform::PR_RECIPIENT_TYPE);
            if (type == nullptr) {
                return;
            }
            const char16_t* name = TextColumn(row, platform::PR_DISPLAY_NAME_W);
            const char16_t* address = TextColumn(row, platform::PR_EMAIL_ADDRESS_W);
            const ULONG kind = static_cast<ULONG>(type->Value.l);
            if (kind == platform::MAPI_TO) {
                if (pass == 0) {
                    totals.toTotal += RecipientLength(name, address);
                } else {
                    state.recipients->AppendTo(name, address);
                }
            } else if (kind == platform::MAPI_CC) {
                if (pass == 0) {
                    totals.ccTotal += RecipientLength(name, address);
                } else {
                    state.recipients->AppendCc(name, address);
                }
            }
        });
        if (pass == 0) {
            if (totals.toTotal == 0 && totals.ccTotal == 0) {
                return true;
            }
            state.recipients.emplace(totals);
        }
    }
    return true;
}

void PrintAttachmentNames(IMessage& message)
{
    std::unique_ptr<IMAPITable> table;
    if (!platform::Succeeded(message.GetAttachmentTable(0, &table)) || !table) {
        return;
    }
    if (!platform::Succeeded(table->SetColumns(kAttachmentColumns, 0))) {
        return;
    }
    bool anyRow = false;
    ForEachRow(*table, [&](const platform::SRow& row) {
        if (!anyRow) {
            anyRow = true;
            char16_t heading[kHeaderLabelUnits] = {};
            core::LoadResString(core::ResourceModule(), platform::kStrHeaderAttachments, heading, kHeaderLabelUnits);
            PutMailLine(heading);
        }
        if (const char16_t* name = TextColumn(row, platform::PR_ATTACH_FILENAME_W)) {
            PutMailChar(kTab);
            PutMailLine(name);
        }
    });
    if (anyRow) {
        PutMailLineEnd();
    }
}

void PrintHeaderLines(const MailPrintState& state)
{
    std::u16string sent;
    const SPropValue* time = state.Value(kDeliveryPosition);
    if (time == nullptr) {
        time = state.Value(kModificationPosition);
    }
    if (time != nullptr) {
        sent = FormatSentText(time->Value.ft);
    }
    const char16_t* to = nullptr;
    const char16_t* cc = nullptr;
    if (state.mimeRoute) {
        to = state.mimeTo ? state.mimeTo->c_str() : nullptr;
        cc = state.mimeCc ? state.mimeCc->c_str() : nullptr;
    } else if (state.recipients) {
        to = state.recipients->To();
        cc = state.recipients->Cc();
    }
    for (HeaderKind kind : HeaderOrder(core::Settings().MailHeaderOrder)) {
        switch (kind) {
        case HeaderKind::Subject:
            PrintHeaderLine(kind, state.Text(kSubjectPosition));
            break;
        case HeaderKind::Sent:
            PrintHeaderLine(kind, sent.c_str());
            break;
        case HeaderKind::From:
            PrintHeaderLine(kind, state.Text(kSenderPosition));
            break;
        case HeaderKind::To:
            PrintHeaderLine(kind, to);
            break;
        case HeaderKind::Cc:
            PrintHeaderLine(kind, cc);
            break;
        }
    }
    PutMailLineEnd();
}

// The body from PR_BODY_W, little-endian UTF-16 read 256 bytes at a time. A
// block of an odd length keeps its last byte for the next block.
void PrintBodyStream(MailPrintState& state)
{
    if (!platform::Succeeded(state.message->OpenProperty(platform::PR_BODY_W, 0, 0, &state.bodyStream))
        || !state.bodyStream) {
        return;
    }
    std::uint8_t block[kBodyReadBytes + 1];
    ULONG held = 0;
    for (;;) {
        ULONG read = 0;
        if (!platform::Succeeded(state.bodyStream->Read(block + held, kBodyReadBytes, &read))) {
            FailMailStep(kStepPrintBodyRead);
            return;
        }
        if (read > kBodyReadBytes) {
            read = kBodyReadBytes;
        }
        const ULONG available = held + read;
        const ULONG units = available / 2;
        for (ULONG i = 0; i < units; ++i) {
            PutDecodedMailChar(static_cast<char16_t>(block[2 * i] | (block[2 * i + 1] << 8)));
        }
        held = available % 2;
        if (held != 0) {
            block[0] = block[available - 1];
        }
        if (read < 2) {
            return;
        }
    }
}

bool OpenForwardedMessage(std::unique_ptr<IMessage> message, MailPrintState& state)
{
    state.message = message.get();
    state.messageObject = std::move(message);
    return platform::Succeeded(
        state.message->GetProps(kMessageTags, platform::MAPI_UNICODE, &state.valueCount, &state.values));
}

// Each message the message forwards, after its body: a rule, the forwarded
// message's From, Sent, Subject and To lines, its attachment names and its
// body, and so on for what it forwards in turn.
void PrintForwardedMessages(IMessage& message, int depth)
{
    std::unique_ptr<IMAPITable> table;
    if (depth >= kMaxForwardDepth || !platform::Succeeded(message.GetAttachmentTable(0, &table)) || !table
        || !platform::Succeeded(table->SetColumns(kForwardColumns, 0))) {
        return;
    }
    std::vector<ULONG> numbers;
    ForEachRow(*table, [&](const platform::SRow& row) {
        const SPropValue* number = FindColumn(row, platform::PR_ATTACH_NUM);
        const SPropValue* method = FindColumn(row, platform::PR_ATTACH_METHOD);
        if (number != nullptr && method != nullptr && method->Value.l == platform::ATTACH_EMBEDDED_MSG)
            numbers.push_back(static_cast<ULONG>(number->Value.l));
    });
    table.reset();
    for (ULONG number : numbers) {
        std::unique_ptr<IMessage> embedded;
        MailPrintState forwarded;
        if (!platform::Succeeded(message.OpenEmbeddedMessage(number, &embedded)) || !embedded
            || !OpenForwardedMessage(std::move(embedded), forwarded)) {
            platform::MAPIFreeBuffer(forwarded.values);
            continue;
        }
        ReadRecipients(forwarded);
        PutMailLineEnd();
        PutMailLineEnd();
        PutMailLine(std::u16string(kForwardRule).c_str());
        std::u16string sent;
        const SPropValue* time = forwarded.Value(kDeliveryPosition);
        if (time != nullptr)
            sent = FormatSentText(time->Value.ft);
        // A forwarded message shows the headers it has; one it lacks is no line.
        const std::pair<HeaderKind, const char16_t*> lines[] = {
            { HeaderKind::From, forwarded.Text(kSenderPosition) },
            { HeaderKind::Sent, sent.c_str() },
            { HeaderKind::Subject, forwarded.Text(kSubjectPosition) },
            { HeaderKind::To, forwarded.recipients ? forwarded.recipients->To() : nullptr },
        };
        for (const auto& [kind, value] : lines) {
            if (value != nullptr && *value != u'\0')
                PrintHeaderLine(kind, value);
        }
        PutMailLineEnd();
        PrintAttachmentNames(*forwarded.message);
        PrintBodyStream(forwarded);
        PrintForwardedMessages(*forwarded.message, depth + 1);
        platform::MAPIFreeBuffer(forwarded.values);
    }
}

void PrintBody(MailPrintState& state)
{
    if (state.mimeRoute) {
        if (state.mimeBodyLength > 0) {
            const std::size_t length = std::min(state.mimeBody.size(), static_cast<std::size_t>(state.mimeBodyLength));
            for (std::size_t i = 0; i < length; ++i) {
                PutMailChar(static_cast<char16_t>(state.mimeBody[i]));
            }
        }
        state.mimeBody.clear();
        state.mimeBody.shrink_to_fit();
    } else {
        PrintBodyStream(state);
        PrintForwardedMessages(*state.message, 0);
    }
    PutMailLineEnd();
    PutMailChar(kFormFeed);
}

// The parts of a print after the job has started; stops at the first
// failed step.
void PrintMessageContent(const EntryIdBlock* entry, MailPrintState& state, MailFonts& fonts)
{
    if (!OpenMessage(entry, state)) {
        return;
    }
    if (!ReadRecipients(state)) {
        state.mimeRoute = true;
        state.mimeBodyLength = ExtractMimeMessage(*state.message, state.mimeTo, state.mimeCc, state.mimeBody);
        if (Mail().FailStep != 0) {
            return;
        }
    }
    PrintHeaderLines(state);
    PrintAttachmentNames(*state.message);
    PutMailLineEnd();
    UseMailFont(FontRole::Body, fonts);
    PrintBody(state);
}

void FinishMailPrint(MailViewRefresh refresh)
{
    if (refresh == MailViewRefresh::Refresh) {
        RefreshMailView();
    } else {
        Mail().FailStep = 0;
    }
    core::HideBusyCursor();
}

} // namespace

void ConnectMailOutput()
{
    SetMailCharSink(PutFlowCharSink);
    SetMailStringLoader(LoadProgramString);
}

std::uint16_t PrintMailMessageWithStep(const EntryIdBlock* entry, MailViewRefresh refresh)
{
    return PrintMailMessagesWithStep(std::span(entry, 1), refresh);
}

std::uint16_t PrintMailMessagesWithStep(std::span<const EntryIdBlock> entries, MailViewRefresh refresh)
{
    ConnectMailOutput();
    // E-mail always prints unscaled.
    const std::int32_t resizeChoice = core::Settings().ResizeChoice;
    core::SetResizeChoice(core::kResizeChoice100);
    if (printengine::StartPrintJob() != printengine::kPrintJobStarted) {
        printengine::Job().PlainTextMode = 0;
        printengine::EndPrintJob();
        core::SetResizeChoice(resizeChoice);
        FinishMailPrint(refresh);
        return 0;
    }
    printengine::BeginFontTable();
    MailFonts fonts;
    UseMailFont(FontRole::Header, fonts);
    printengine::Job().PlainTextMode = 1;

    // Each message ends with a page break, so the next starts a page.
    for (const EntryIdBlock& entry : entries) {
        if (Mail().FailStep != 0)
            break;
        if (&entry != entries.data())
            UseMailFont(FontRole::Header, fonts);
        MailPrintState state;
        PrintMessageContent(&entry, state, fonts);
        platform::MAPIFreeBuffer(state.values);
        state.values = nullptr;
        state.message = nullptr;
        state.messageObject.reset();
    }
    // The job ends before the resize choice and the plain-text mode go back,
    // because ending it lays out what a failed print left without a line
    // end, which must print in the size and with the tabs of the lines
    // before it.
    printengine::EndPrintJob();
    core::SetResizeChoice(resizeChoice);
    printengine::Job().PlainTextMode = 0;
    const std::uint16_t failStep = Mail().FailStep;
    if (failStep != 0) {
        core::ShowMessageId(kEmailPrintFailedMessage);
    }
    FinishMailPrint(refresh);
    return failStep;
}

int PrintMailMessage(const EntryIdBlock* entry)
{
    PrintMailMessageWithStep(entry, MailViewRefresh::Refresh);
    return 1;
}

std::int32_t SelectedMailRow()
{
    return selectedRow;
}

void PrintTappedMessage(std::int32_t row)
{
    selectedRow = row;
    if (row < 0) {
        return;
    }
    const MailSession& mail = Mail();
    if (row >= mail.messageCount || static_cast<std::size_t>(row) >= mail.messageEntries.size()
        || mail.messageEntries[static_cast<std::size_t>(row)] == nullptr) {
        return;
    }
    // The list is rebuilt by the refresh at the end of the print, so the
    // print works from a copy of the entry identifier.
    const EntryIdBlock* source = mail.messageEntries[static_cast<std::size_t>(row)];
    std::vector<std::uint8_t> bytes;
    if (source->lpb != nullptr) {
        bytes.assign(source->lpb, source->lpb + source->cb);
    }
    EntryIdBlock copy { static_cast<ULONG>(bytes.size()), bytes.data() };
    printengine::Job().Printing = true;
    PrintMailMessage(&copy);
    printengine::Job().Printing = false;
}

} // namespace email
