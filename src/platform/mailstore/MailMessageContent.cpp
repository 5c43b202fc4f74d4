#include "MailMessageContent.h"

#include "HtmlToText.h"
#include "MimeLibrary.h"
#include "TextConversion.h"

#include <fcntl.h>
#include <gmime/gmime.h>
#include <langinfo.h>
#include <locale.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

namespace {

// A text part larger than this is cut: a body of many megabytes is not text
// anyone prints.
constexpr std::size_t kMaxBodyBytes = 16 * 1024 * 1024;
constexpr std::size_t kHeaderReadChunk = 4096;

template <typename T> struct GObjectRef {
    T* object = nullptr;
    explicit GObjectRef(T* o)
        : object(o)
    {
    }
    GObjectRef(const GObjectRef&) = delete;
    GObjectRef& operator=(const GObjectRef&) = delete;
    ~GObjectRef()
    {
        if (object != nullptr) {
            g_object_unref(object);
        }
    }
};

std::u16string FromUtf8(const char* text)
{
    return text != nullptr ? Utf8ToUtf16(text) : std::u16string();
}

bool IsBlank(const char* text)
{
    if (text == nullptr) {
        return true;
    }
    for (; *text != '\0'; ++text) {
        if (*text != ' ' && *text != '\t' && *text != '\r' && *text != '\n') {
            return false;
        }
    }
    return true;
}

bool IsUtf8OrAscii(std::string_view charset)
{
    for (const char* name : { "utf-8", "utf8", "us-ascii", "ascii", "ANSI_X3.4-1968" }) {
        if (charset.size() == std::strlen(name) && g_ascii_strncasecmp(charset.data(), name, charset.size()) == 0)
            return true;
    }
    return false;
}

// The codeset of the user's locale (LC_ALL, LC_CTYPE, LANG), also of one
// that is named but not installed; empty for UTF-8 and ASCII.
std::string LocaleCodeset()
{
    std::string codeset;
    if (locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0))) {
        codeset = nl_langinfo_l(CODESET, locale);
        freelocale(locale);
    } else {
        for (const char* variable : { "LC_ALL", "LC_CTYPE", "LANG" }) {
            const char* value = std::getenv(variable);
            if (value == nullptr || *value == '\0')
                continue;
            const std::string_view name(value);
            const std::size_t dot = name.find('.');
            if (dot != std::string_view::npos)
                codeset = name.substr(dot + 1, name.find('@', dot) - dot - 1);
            break;
        }
    }
    return IsUtf8OrAscii(codeset) ? std::string() : codeset;
}

// Parser options whose fallback charsets read the 8-bit bytes a header
// holds as they are (outside encoded words, or inside one whose charset
// does not fit them): UTF-8, the charset the message declares for its text,
// the codeset of the user's locale, then windows-1252, which is what an
// unlabelled 8-bit header most often is. The first that fits wins.
class HeaderCharsets {
public:
    explicit HeaderCharsets(std::string_view messageCharset = {})
        : options_(g_mime_parser_options_new())
    {
        static const std::string locale = LocaleCodeset();
        std::vector<std::string> names = { "UTF-8" };
        for (std::string_view name : { messageCharset, std::string_view(locale), std::string_view("windows-1252") }) {
            const bool known = std::any_of(names.begin(), names.end(), [&](const std::string& had) {
                return had.size() == name.size() && g_ascii_strncasecmp(had.data(), name.data(), name.size()) == 0;
            });
            if (!name.empty() && !IsUtf8OrAscii(name) && !known)
                names.emplace_back(name);
        }
        std::vector<const char*> list;
        for (const std::string& name : names)
            list.push_back(name.c_str());
        list.push_back(nullptr);
        g_mime_parser_options_set_fallback_charsets(options_, list.data());
    }
    HeaderCharsets(const HeaderCharsets&) = delete;
    HeaderCharsets& operator=(const HeaderCharsets&) = delete;
    ~HeaderCharsets() { g_mime_parser_options_free(options_); }
    GMimeParserOptions* Options() const { return options_; }

private:
    GMimeParserOptions* options_;
};

// The charset a message declares for its text: that of its first text
// part, else that of its top part.
struct CharsetSearch {
    const char* charset = nullptr;
};

void FindTextCharset(GMimeObject*, GMimeObject* part, gpointer data)
{
    auto* search = static_cast<CharsetSearch*>(data);
    if (search->charset == nullptr && GMIME_IS_PART(part)
        && g_mime_content_type_is_type(g_mime_object_get_content_type(part), "text", "*"))
        search->charset = g_mime_object_get_content_type_parameter(part, "charset");
}

std::string DeclaredCharset(GMimeMessage* message)
{
    CharsetSearch search;
    GMimeObject* top = g_mime_message_get_mime_part(message);
    if (top == nullptr)
        return {};
    if (GMIME_IS_MULTIPART(top))
        g_mime_message_foreach(message, FindTextCharset, &search);
    if (search.charset == nullptr)
        search.charset = g_mime_object_get_content_type_parameter(top, "charset");
    return search.charset != nullptr ? search.charset : "";
}

// Whether the header block holds a byte that is no ASCII.
bool HeadersHaveEightBitBytes(std::span<const std::uint8_t> bytes)
{
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] >= 0x80)
            return true;
        if (bytes[i] == '\n' && i + 1 < bytes.size()
            && (bytes[i + 1] == '\n' || (bytes[i + 1] == '\r' && i + 2 < bytes.size() && bytes[i + 2] == '\n')))
            return false;
    }
    return false;
}

void AddMailboxes(InternetAddressList* list, ULONG type, std::vector<MailRecipient>& out, int depth = 0)
{
    const int count = internet_address_list_length(list);
    for (int i = 0; i < count; ++i) {
        InternetAddress* address = internet_address_list_get_address(list, i);
        if (INTERNET_ADDRESS_IS_MAILBOX(address)) {
            MailRecipient recipient;
            recipient.type = type;
            recipient.name = FromUtf8(internet_address_get_name(address));
            recipient.address = FromUtf8(internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(address)));
            out.push_back(std::move(recipient));
        } else if (INTERNET_ADDRESS_IS_GROUP(address) && depth == 0) {
            AddMailboxes(internet_address_group_get_members(INTERNET_ADDRESS_GROUP(address)), type, out, depth + 1);
        }
    }
}

// The first mailbox of a list, looking into groups.
InternetAddressMailbox* FirstMailbox(InternetAddressList* list)
{
    if (list == nullptr) {
        return nullptr;
    }
    const int count = internet_address_list_length(list);
    for (int i = 0; i < count; ++i) {
        InternetAddress* address = internet_address_list_get_address(list, i);
        if (INTERNET_ADDRESS_IS_MAILBOX(address)) {
            return INTERNET_ADDRESS_MAILBOX(address);
        }
        if (INTERNET_ADDRESS_IS_GROUP(address)) {
            InternetAddressList* members = internet_address_group_get_members(INTERNET_ADDRESS_GROUP(address));
            const int memberCount = internet_address_list_length(members);
            for (int k = 0; k < memberCount; ++k) {
                InternetAddress* member = internet_address_list_get_address(members, k);
                if (INTERNET_ADDRESS_IS_MAILBOX(member)) {
                    return INTERNET_ADDRESS_MAILBOX(member);
                }
            }
        }
    }
    return nullptr;
}

// The first header of that name as the message holds it, undecoded.
const char* RawHeader(GMimeObject* object, const char* name)
{
    GMimeHeaderList* headers = g_mime_object_get_header_list(object);
    const int count = g_mime_header_list_get_count(headers);
    for (int i = 0; i < count; ++i) {
        GMimeHeader* header = g_mime_header_list_get_header_at(headers, i);
        if (g_ascii_strcasecmp(g_mime_header_get_name(header), name) == 0)
            return g_mime_header_get_raw_value(header);
    }
    return nullptr;
}

// True when the bytes are UTF-8 holding at least one character beyond ASCII.
bool IsUtf8BeyondAscii(std::string_view bytes)
{
    bool beyond = false;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = lead < 0x80 ? 1
            : (lead >> 5) == 0x6               ? 2
            : (lead >> 4) == 0xE               ? 3
            : (lead >> 3) == 0x1E              ? 4
                                               : 0;
        if (length == 0 || i + length > bytes.size() || (length == 2 && lead < 0xC2))
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80)
                return false;
        }
        beyond = beyond || length > 1;
        i += length;
    }
    return beyond;
}

// Some clients put raw UTF-8 inside an encoded word that names another
// charset ("=?iso-8859-1?q?Heinz_M\xc3\xbcller?="), where only ASCII may
// stand. Such a word is relabelled UTF-8 when what it encodes is UTF-8, so
// the name reads as the sender wrote it; every other word stays as it is.
std::string Utf8EncodedWords(std::string_view header)
{
    std::string text(header);
    for (std::size_t start = text.find("=?"); start != std::string::npos; start = text.find("=?", start + 2)) {
        const std::size_t charsetEnd = text.find('?', start + 2);
        if (charsetEnd == std::string::npos || charsetEnd + 2 >= text.size() || text[charsetEnd + 2] != '?')
            break;
        const char encoding = static_cast<char>(std::tolower(static_cast<unsigned char>(text[charsetEnd + 1])));
        const std::size_t end = text.find("?=", charsetEnd + 3);
        if (end == std::string::npos)
            break;
        if (encoding != 'q')
            continue;
        const std::string_view encoded = std::string_view(text).substr(charsetEnd + 3, end - charsetEnd - 3);
        if (std::none_of(encoded.begin(), encoded.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
            continue;
        std::string decoded;
        for (std::size_t i = 0; i < encoded.size(); ++i) {
            if (encoded[i] == '_') {
                decoded += ' ';
            } else if (encoded[i] == '=' && i + 2 < encoded.size()
                && std::isxdigit(static_cast<unsigned char>(encoded[i + 1]))
                && std::isxdigit(static_cast<unsigned char>(encoded[i + 2]))) {
                decoded += static_cast<char>(std::stoi(std::string(encoded.substr(i + 1, 2)), nullptr, 16));
                i += 2;
            } else {
                decoded += encoded[i];
            }
        }
        if (IsUtf8BeyondAscii(decoded))
            text.replace(start + 2, charsetEnd - start - 2, "utf-8");
    }
    return text;
}

// Some clients separate recipients with ";" where the format wants ",".
// Outside quotes, angle brackets and comments, and in a list that is no
// group ("Team: a@x, b@y;"), each ";" becomes ",".
std::string CommaSeparated(const char* value)
{
    std::string text = value;
    bool quoted = false;
    int angle = 0;
    int comment = 0;
    bool group = false;
    std::vector<std::size_t> semicolons;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                quoted = false;
        } else if (c == '"') {
            quoted = true;
        } else if (c == '(') {
            ++comment;
        } else if (c == ')' && comment > 0) {
            --comment;
        } else if (comment == 0 && c == '<') {
            ++angle;
        } else if (comment == 0 && c == '>' && angle > 0) {
            --angle;
        } else if (comment == 0 && angle == 0 && c == ':') {
            group = true;
        } else if (comment == 0 && angle == 0 && c == ';') {
            semicolons.push_back(i);
        }
    }
    if (!group) {
        for (std::size_t at : semicolons)
            text[at] = ',';
    }
    return text;
}

// A header value unfolded by the parser keeps the tab that began its
// continuation line; printed, it is the space it stands for.
std::u16string Unfolded(std::u16string text)
{
    std::replace(text.begin(), text.end(), u'\t', u' ');
    return text;
}

void ReadRecipients(GMimeObject* message, GMimeParserOptions* options, MailMessageContent& content)
{
    struct Kind {
        const char* header;
        ULONG type;
    };
    constexpr Kind kKinds[] = { { "To", MAPI_TO }, { "Cc", MAPI_CC }, { "Bcc", MAPI_BCC } };
    GMimeHeaderList* headers = g_mime_object_get_header_list(message);
    const int count = g_mime_header_list_get_count(headers);
    for (const Kind& kind : kKinds) {
        for (int i = 0; i < count; ++i) {
            GMimeHeader* header = g_mime_header_list_get_header_at(headers, i);
            if (g_ascii_strcasecmp(g_mime_header_get_name(header), kind.header) != 0) {
                continue;
            }
            const char* value = g_mime_header_get_raw_value(header);
            if (IsBlank(value)) {
                continue;
            }
            const std::string relabelled = Utf8EncodedWords(value);
            const std::string separated = CommaSeparated(relabelled.c_str());
            InternetAddressList* list = internet_address_list_parse(options, separated.c_str());
            if (list == nullptr) {
                // A header that is no address list costs only itself: it is
                // kept as one recipient named by its text, and the rest of
                // the message is read as usual.
                gchar* decoded = g_mime_utils_header_decode_text(options, relabelled.c_str());
                MailRecipient recipient;
                recipient.type = kind.type;
                std::u16string name = Unfolded(FromUtf8(decoded));
                g_free(decoded);
                std::erase_if(name, [](char16_t c) { return c == u'\r' || c == u'\n'; });
                const std::size_t first = name.find_first_not_of(u' ');
                const std::size_t last = name.find_last_not_of(u' ');
                if (first != std::u16string::npos)
                    recipient.name = name.substr(first, last - first + 1);
                content.recipients.push_back(std::move(recipient));
                continue;
            }
            AddMailboxes(list, kind.type, content.recipients);
            g_object_unref(list);
        }
    }
}

bool IsAttachment(GMimeObject* part)
{
    GMimeContentDisposition* disposition = g_mime_object_get_content_disposition(part);
    if (disposition != nullptr && g_mime_content_disposition_is_attachment(disposition)) {
        return true;
    }
    return GMIME_IS_PART(part) && g_mime_part_get_filename(GMIME_PART(part)) != nullptr;
}

std::string DecodedUtf8Content(GMimePart* part)
{
    GMimeDataWrapper* wrapper = g_mime_part_get_content(part);
    if (wrapper == nullptr) {
        return {};
    }
    GObjectRef<GMimeStream> memory(g_mime_stream_mem_new());
    GObjectRef<GMimeStream> filtered(g_mime_stream_filter_new(memory.object));
    const char* charset = g_mime_object_get_content_type_parameter(GMIME_OBJECT(part), "charset");
    if (charset != nullptr && g_ascii_strcasecmp(charset, "utf-8") != 0
        && g_ascii_strcasecmp(charset, "us-ascii") != 0) {
        GMimeFilter* filter = g_mime_filter_charset_new(charset, "UTF-8");
        if (filter != nullptr) {
            g_mime_stream_filter_add(GMIME_STREAM_FILTER(filtered.object), filter);
            g_object_unref(filter);
        }
    }
    g_mime_data_wrapper_write_to_stream(wrapper, filtered.object);
    g_mime_stream_flush(filtered.object);
    GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(memory.object));
    std::string text(reinterpret_cast<const char*>(bytes->data), std::min<std::size_t>(bytes->len, kMaxBodyBytes));
    // Text without a charset, or in one the converter does not know, is taken
    // as UTF-8 when it is valid and as Latin-1 otherwise.
    if (!g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) {
        gsize written = 0;
        gchar* converted = g_convert(
            text.data(), static_cast<gssize>(text.size()), "UTF-8", "ISO-8859-1", nullptr, &written, nullptr);
        if (converted != nullptr) {
            text.assign(converted, written);
            g_free(converted);
        }
    }
    return text;
}

struct BodySearch {
    GMimePart* plain = nullptr;
    GMimePart* html = nullptr;
    std::vector<std::u16string>* attachmentNames = nullptr;
    std::vector<std::pair<std::size_t, std::string>>* forwardedMessages = nullptr;
};

void VisitPart(GMimeObject* parent, GMimeObject* part, gpointer data)
{
    auto* search = static_cast<BodySearch*>(data);
    if (GMIME_IS_MESSAGE_PART(part)) {
        const char* name = g_mime_object_get_content_disposition_parameter(part, "filename");
        search->attachmentNames->push_back(name != nullptr ? FromUtf8(name) : u"message.eml");
        if (GMimeMessage* forwarded = g_mime_message_part_get_message(GMIME_MESSAGE_PART(part))) {
            if (char* text = g_mime_object_to_string(GMIME_OBJECT(forwarded), nullptr)) {
                search->forwardedMessages->emplace_back(search->attachmentNames->size() - 1, text);
                g_free(text);
            }
        }
        return;
    }
    if (!GMIME_IS_PART(part)) {
        return;
    }
    if (IsAttachment(part)) {
        const char* name = g_mime_part_get_filename(GMIME_PART(part));
        search->attachmentNames->push_back(FromUtf8(name != nullptr ? name : ""));
        return;
    }
    GMimeContentType* type = g_mime_object_get_content_type(part);
    if (search->plain == nullptr && g_mime_content_type_is_type(type, "text", "plain")) {
        search->plain = GMIME_PART(part);
    } else if (search->html == nullptr && g_mime_content_type_is_type(type, "text", "html")) {
        search->html = GMIME_PART(part);
    }
}

} // namespace

bool EnsureGMimeInitialized()
{
    static const bool initialized = [] {
        if (!LoadMimeLibrary())
            return false;
        g_mime_init();
        return true;
    }();
    return initialized;
}

std::u16string WithCrLfLineEnds(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size() + text.size() / 32);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t ch = text[i];
        if (ch == u'\r') {
            out += u"\r\n";
            if (i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
            }
        } else if (ch == u'\n') {
            out += u"\r\n";
        } else {
            out.push_back(ch);
        }
    }
    return out;
}

namespace {

// A header block bounded for the parser: a message can carry any number of
// header fields of any length, and the parser keeps every one as an object
// of its own. Past kMaxHeaderFields fields only those the printed message
// uses are kept, and each field is cut at kMaxHeaderFieldBytes. The body is
// left as it is.
constexpr std::size_t kMaxHeaderFields = 1000;
constexpr std::size_t kMaxHeaderFieldBytes = 64 * 1024;

bool IsFieldPrinted(std::string_view field)
{
    static constexpr std::string_view kKept[]
        = { "from:", "to:", "cc:", "bcc:", "subject:", "date:", "sender:", "reply-to:", "mime-version:", "content-",
              "status:", "x-mozilla-status:" };
    for (auto name : kKept) {
        if (field.size() >= name.size() && std::equal(name.begin(), name.end(), field.begin(), [](char a, char b) {
                return a == (b >= 'A' && b <= 'Z' ? static_cast<char>(b - 'A' + 'a') : b);
            }))
            return true;
    }
    return false;
}

// The message with each bare CR (a line end of old Macintosh mail) made an
// LF, which the parser reads as a line end; nothing when it has none.
std::optional<std::string> WithLineFeeds(std::span<const std::uint8_t> bytes)
{
    bool bare = false;
    for (std::size_t i = 0; i < bytes.size() && !bare; ++i)
        bare = bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n');
    if (!bare)
        return std::nullopt;
    std::string text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))
            text[i] = '\n';
    }
    return text;
}

// Nothing when the header block is within the bounds (the usual case: no
// copy is made); else the message with its header block bounded.
std::optional<std::string> BoundHeaderBlock(std::span<const std::uint8_t> bytes)
{
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    // The fields of the header block, each with its folded lines.
    std::vector<std::string_view> fields;
    std::size_t at = 0;
    bool overLong = false;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        end = end == std::string_view::npos ? text.size() : end + 1;
        std::string_view line = text.substr(at, end - at);
        if (line == "\n" || line == "\r\n" || line == "\r")
            break;
        if ((line[0] == ' ' || line[0] == '\t') && !fields.empty())
            fields.back() = text.substr(fields.back().data() - text.data(), end - (fields.back().data() - text.data()));
        else
            fields.push_back(line);
        overLong = overLong || fields.back().size() > kMaxHeaderFieldBytes;
        at = end;
    }
    if (fields.size() <= kMaxHeaderFields && !overLong)
        return std::nullopt;
    std::string bounded;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        std::string_view field = fields[i];
        if (i >= kMaxHeaderFields && !IsFieldPrinted(field))
            continue;
        if (field.size() > kMaxHeaderFieldBytes) {
            bounded.append(field.substr(0, kMaxHeaderFieldBytes));
            bounded.append("\r\n");
        } else {
            bounded.append(field);
        }
    }
    bounded.append(text.substr(at));
    return bounded;
}

GMimeMessage* ConstructMessage(std::span<const std::uint8_t> bytes, GMimeParserOptions* options)
{
    GObjectRef<GMimeStream> stream(
        g_mime_stream_mem_new_with_buffer(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    GObjectRef<GMimeParser> parser(g_mime_parser_new_with_stream(stream.object));
    g_mime_parser_set_format(parser.object, GMIME_FORMAT_MESSAGE);
    return g_mime_parser_construct_message(parser.object, options);
}

} // namespace

MailMessageContent ParseMailMessage(std::span<const std::uint8_t> bytes)
{
    MailMessageContent content;
    // GMime refuses a memory stream over no bytes; an empty file is no
    // message, as an unparsable one is, and so is any message without GMime.
    if (!EnsureGMimeInitialized() || bytes.empty()) {
        content.recipientsReadable = false;
        return content;
    }
    auto withLineFeeds = WithLineFeeds(bytes);
    if (withLineFeeds)
        bytes = std::span(reinterpret_cast<const std::uint8_t*>(withLineFeeds->data()), withLineFeeds->size());
    auto bounded = BoundHeaderBlock(bytes);
    if (bounded)
        bytes = std::span(reinterpret_cast<const std::uint8_t*>(bounded->data()), bounded->size());
    std::optional<HeaderCharsets> charsets;
    charsets.emplace();
    GObjectRef<GMimeMessage> message(ConstructMessage(bytes, charsets->Options()));
    // 8-bit header bytes in the charset the message declares for its text
    // are read in that charset: the message is read again knowing it.
    if (message.object != nullptr && HeadersHaveEightBitBytes(bytes)) {
        const std::string declared = DeclaredCharset(message.object);
        if (!declared.empty() && !IsUtf8OrAscii(declared)) {
            charsets.emplace(declared);
            GMimeMessage* again = ConstructMessage(bytes, charsets->Options());
            if (again != nullptr) {
                g_object_unref(message.object);
                message.object = again;
            }
        }
    }
    if (message.object == nullptr) {
        content.recipientsReadable = false;
        return content;
    }
    if (g_mime_header_list_get_count(g_mime_object_get_header_list(GMIME_OBJECT(message.object))) == 0) {
        content.recipientsReadable = false;
    }

    // The sender as GMime read it, unless its header holds UTF-8 in a word
    // of another charset, which is read again relabelled.
    InternetAddressList* from = g_mime_message_get_from(message.object);
    InternetAddressList* reread = nullptr;
    if (const char* raw = RawHeader(GMIME_OBJECT(message.object), "From")) {
        if (const std::string relabelled = Utf8EncodedWords(raw); relabelled != raw) {
            reread = internet_address_list_parse(charsets->Options(), relabelled.c_str());
            if (reread != nullptr)
                from = reread;
        }
    }
    if (InternetAddressMailbox* sender = FirstMailbox(from)) {
        content.senderName = Unfolded(FromUtf8(internet_address_get_name(INTERNET_ADDRESS(sender))));
        content.senderAddress = FromUtf8(internet_address_mailbox_get_addr(sender));
    }
    if (reread != nullptr)
        g_object_unref(reread);
    content.subject = Unfolded(FromUtf8(g_mime_message_get_subject(message.object)));
    if (GDateTime* date = g_mime_message_get_date(message.object)) {
        content.date = FileTimeFromUnix(g_date_time_to_unix(date), g_date_time_get_microsecond(date));
    }
    ReadRecipients(GMIME_OBJECT(message.object), charsets->Options(), content);

    BodySearch search;
    search.attachmentNames = &content.attachmentNames;
    search.forwardedMessages = &content.forwardedMessages;
    GMimeObject* top = g_mime_message_get_mime_part(message.object);
    if (top != nullptr) {
        if (GMIME_IS_MULTIPART(top) || GMIME_IS_MESSAGE_PART(top)) {
            g_mime_message_foreach(message.object, VisitPart, &search);
        } else {
            // A single-part message is its own body even with a file name.
            GMimeContentType* type = g_mime_object_get_content_type(top);
            if (GMIME_IS_PART(top) && g_mime_content_type_is_type(type, "text", "plain")) {
                search.plain = GMIME_PART(top);
            } else if (GMIME_IS_PART(top) && g_mime_content_type_is_type(type, "text", "html")) {
                search.html = GMIME_PART(top);
            } else {
                VisitPart(nullptr, top, &search);
            }
        }
    }
    if (search.plain != nullptr) {
        content.body = WithCrLfLineEnds(Utf8ToUtf16(DecodedUtf8Content(search.plain)));
    } else if (search.html != nullptr) {
        content.body = HtmlToText(DecodedUtf8Content(search.html));
    }
    return content;
}

std::string ReadHeaderBlock(const char* path)
{
    std::string block;
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return block;
    }
    char chunk[kHeaderReadChunk];
    while (block.size() < kMaxListingHeaderBytes) {
        const ssize_t got = ::read(fd, chunk, std::min(sizeof chunk, kMaxListingHeaderBytes - block.size()));
        if (got <= 0) {
            break;
        }
        const std::size_t searchFrom = block.size() >= 3 ? block.size() - 3 : 0;
        block.append(chunk, static_cast<std::size_t>(got));
        const std::size_t unix = block.find("\n\n", searchFrom);
        const std::size_t dos = block.find("\n\r\n", searchFrom);
        const std::size_t end = std::min(unix, dos);
        if (end != std::string::npos) {
            block.resize(end + 1);
            break;
        }
    }
    ::close(fd);
    return block;
}

MailHeaderSummary SummarizeMailHeaders(std::string_view headerBlock, SummaryFields fields)
{
    if (!EnsureGMimeInitialized())
        return {};
    const bool wantSender = (static_cast<unsigned>(fields) & static_cast<unsigned>(SummaryFields::Sender)) != 0;
    const bool wantSubject = (static_cast<unsigned>(fields) & static_cast<unsigned>(SummaryFields::Subject)) != 0;
    std::string from;
    std::string subject;
    std::string* current = nullptr;
    bool haveFrom = false;
    bool haveSubject = false;
    std::size_t pos = 0;
    while (pos < headerBlock.size()) {
        std::size_t end = headerBlock.find('\n', pos);
        if (end == std::string_view::npos) {
            end = headerBlock.size();
        }
        std::string_view line = headerBlock.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.empty()) {
            break;
        }
        if (line.front() == ' ' || line.front() == '\t') {
            if (current != nullptr) {
                current->append(line);
            }
            continue;
        }
        current = nullptr;
        if (wantSender && !haveFrom && line.size() >= 5 && g_ascii_strncasecmp(line.data(), "from:", 5) == 0) {
            from.assign(line.substr(5));
            current = &from;
            haveFrom = true;
        } else if (wantSubject && !haveSubject && line.size() >= 8
            && g_ascii_strncasecmp(line.data(), "subject:", 8) == 0) {
            subject.assign(line.substr(8));
            current = &subject;
            haveSubject = true;
        }
    }
    MailHeaderSummary summary;
    const HeaderCharsets charsets;
    if (haveSubject) {
        const std::size_t first = subject.find_first_not_of(" \t");
        gchar* decoded = g_mime_utils_header_decode_text(
            charsets.Options(), first == std::string::npos ? "" : subject.c_str() + first);
        summary.subject = FromUtf8(decoded);
        g_free(decoded);
    }
    if (haveFrom) {
        InternetAddressList* list = internet_address_list_parse(charsets.Options(), Utf8EncodedWords(from).c_str());
        if (InternetAddressMailbox* sender = FirstMailbox(list)) {
            summary.senderAddress = FromUtf8(internet_address_mailbox_get_addr(sender));
            summary.senderName = FromUtf8(internet_address_get_name(INTERNET_ADDRESS(sender)));
        }
        if (list != nullptr) {
            g_object_unref(list);
        }
        if (summary.senderName.empty()) {
            summary.senderName = summary.senderAddress;
        }
    }
    return summary;
}

} // namespace platform
