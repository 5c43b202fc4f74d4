// Definitions of the GMime and GLib calls this layer makes, each bound on
// its first use to the function of the same name in the MIME library. The
// program does not link GMime: these take the place of its functions at link
// time, so the code that reads messages calls GMime as it always would.

#include "MimeLibrary.h"

#include <gmime/gmime.h>

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

namespace platform {
namespace {

// The name GMime 3 is installed under, as the linker would record it.
constexpr const char* kMimeLibrary = "libgmime-3.0.so.0";

void* MimeLibrary()
{
    static void* const library = [] {
        void* loaded = dlopen(kMimeLibrary, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        if (loaded == nullptr)
            std::fprintf(stderr, "tallowin: e-mail cannot be read: %s\n", dlerror());
        return loaded;
    }();
    return library;
}

// The library's function of the same type as ours. A call made without the
// library is a fault of this layer (LoadMimeLibrary comes first), so it ends
// the program rather than returning something no caller expects.
template <typename Function> Function MimeFunction(Function, const char* name)
{
    void* library = MimeLibrary();
    void* found = library != nullptr ? dlsym(library, name) : nullptr;
    if (found == nullptr) {
        std::fprintf(stderr, "tallowin: %s is missing from %s\n", name, kMimeLibrary);
        std::abort();
    }
    return reinterpret_cast<Function>(found);
}

} // namespace

bool LoadMimeLibrary()
{
    return MimeLibrary() != nullptr;
}

} // namespace platform

// Every GMime and GLib function the layer calls: return type, name,
// parameters, arguments.
// clang-format off
#define TALLOWIN_MIME_FUNCTIONS(X) \
    X(gint, g_ascii_strcasecmp, (const gchar* s1, const gchar* s2), (s1, s2)) \
    X(gint, g_ascii_strncasecmp, (const gchar* s1, const gchar* s2, gsize n), (s1, s2, n)) \
    X(gchar*, g_convert, (const gchar* str, gssize len, const gchar* to_codeset, const gchar* from_codeset, gsize* bytes_read, gsize* bytes_written, GError** error), (str, len, to_codeset, from_codeset, bytes_read, bytes_written, error)) \
    X(gint, g_date_time_get_microsecond, (GDateTime* datetime), (datetime)) \
    X(gint64, g_date_time_to_unix, (GDateTime* datetime), (datetime)) \
    X(void, g_free, (gpointer mem), (mem)) \
    X(gboolean, g_mime_content_disposition_is_attachment, (GMimeContentDisposition* disposition), (disposition)) \
    X(gboolean, g_mime_content_type_is_type, (GMimeContentType* content_type, const char* type, const char* subtype), (content_type, type, subtype)) \
    X(ssize_t, g_mime_data_wrapper_write_to_stream, (GMimeDataWrapper* wrapper, GMimeStream* stream), (wrapper, stream)) \
    X(GMimeFilter *, g_mime_filter_charset_new, (const char* from_charset, const char* to_charset), (from_charset, to_charset)) \
    X(const char *, g_mime_header_get_name, (GMimeHeader* header), (header)) \
    X(const char *, g_mime_header_get_raw_value, (GMimeHeader* header), (header)) \
    X(int, g_mime_header_list_get_count, (GMimeHeaderList* headers), (headers)) \
    X(GMimeHeader *, g_mime_header_list_get_header_at, (GMimeHeaderList* headers, int index), (headers, index)) \
    X(void, g_mime_init, (), ()) \
    X(void, g_mime_message_foreach, (GMimeMessage* message, GMimeObjectForeachFunc callback, gpointer user_data), (message, callback, user_data)) \
    X(GDateTime *, g_mime_message_get_date, (GMimeMessage* message), (message)) \
    X(InternetAddressList *, g_mime_message_get_from, (GMimeMessage* message), (message)) \
    X(const char *, g_mime_message_get_message_id, (GMimeMessage* message), (message)) \
    X(GMimeObject *, g_mime_message_get_mime_part, (GMimeMessage* message), (message)) \
    X(const char *, g_mime_message_get_subject, (GMimeMessage* message), (message)) \
    X(GMimeMessage *, g_mime_message_part_get_message, (GMimeMessagePart* part), (part)) \
    X(GType, g_mime_message_part_get_type, (), ()) \
    X(GType, g_mime_multipart_get_type, (), ()) \
    X(GMimeContentDisposition *, g_mime_object_get_content_disposition, (GMimeObject* object), (object)) \
    X(const char *, g_mime_object_get_content_disposition_parameter, (GMimeObject* object, const char* name), (object, name)) \
    X(GMimeContentType *, g_mime_object_get_content_type, (GMimeObject* object), (object)) \
    X(const char *, g_mime_object_get_content_type_parameter, (GMimeObject* object, const char* name), (object, name)) \
    X(const char *, g_mime_object_get_header, (GMimeObject* object, const char* header), (object, header)) \
    X(GMimeHeaderList *, g_mime_object_get_header_list, (GMimeObject* object), (object)) \
    X(char *, g_mime_object_to_string, (GMimeObject* object, GMimeFormatOptions* options), (object, options)) \
    X(GType, g_mime_object_get_type, (), ()) \
    X(gboolean, g_mime_parser_eos, (GMimeParser* parser), (parser)) \
    X(gint64, g_mime_parser_get_headers_begin, (GMimeParser* parser), (parser)) \
    X(gint64, g_mime_parser_get_headers_end, (GMimeParser* parser), (parser)) \
    X(char *, g_mime_parser_get_mbox_marker, (GMimeParser* parser), (parser)) \
    X(gint64, g_mime_parser_get_mbox_marker_offset, (GMimeParser* parser), (parser)) \
    X(GMimeMessage *, g_mime_parser_construct_message, (GMimeParser* parser, GMimeParserOptions* options), (parser, options)) \
    X(void, g_mime_parser_options_free, (GMimeParserOptions* options), (options)) \
    X(GMimeParserOptions *, g_mime_parser_options_new, (), ()) \
    X(void, g_mime_parser_options_set_fallback_charsets, (GMimeParserOptions* options, const char** charsets), (options, charsets)) \
    X(GMimeParser *, g_mime_parser_new_with_stream, (GMimeStream* stream), (stream)) \
    X(void, g_mime_parser_set_format, (GMimeParser* parser, GMimeFormat format), (parser, format)) \
    X(gint64, g_mime_parser_tell, (GMimeParser* parser), (parser)) \
    X(GMimeDataWrapper *, g_mime_part_get_content, (GMimePart* mime_part), (mime_part)) \
    X(const char *, g_mime_part_get_filename, (GMimePart* mime_part), (mime_part)) \
    X(GType, g_mime_part_get_type, (), ()) \
    X(int, g_mime_stream_filter_add, (GMimeStreamFilter* stream, GMimeFilter* filter), (stream, filter)) \
    X(GType, g_mime_stream_filter_get_type, (), ()) \
    X(GMimeStream *, g_mime_stream_filter_new, (GMimeStream* stream), (stream)) \
    X(GMimeStream *, g_mime_stream_fs_new, (int fd), (fd)) \
    X(int, g_mime_stream_flush, (GMimeStream* stream), (stream)) \
    X(GByteArray *, g_mime_stream_mem_get_byte_array, (GMimeStreamMem* mem), (mem)) \
    X(GType, g_mime_stream_mem_get_type, (), ()) \
    X(GMimeStream *, g_mime_stream_mem_new, (), ()) \
    X(GMimeStream *, g_mime_stream_mem_new_with_buffer, (const char* buffer, size_t len), (buffer, len)) \
    X(gint64, g_mime_stream_seek, (GMimeStream* stream, gint64 offset, GMimeSeekWhence whence), (stream, offset, whence)) \
    X(char *, g_mime_utils_header_decode_text, (GMimeParserOptions* options, const char* text), (options, text)) \
    X(void, g_object_unref, (gpointer object), (object)) \
    X(GTypeInstance*, g_type_check_instance_cast, (GTypeInstance* instance, GType iface_type), (instance, iface_type)) \
    X(gboolean, g_type_check_instance_is_a, (GTypeInstance* instance, GType iface_type), (instance, iface_type)) \
    X(gboolean, g_utf8_validate, (const gchar* str, gssize max_len, const gchar** end), (str, max_len, end)) \
    X(const char *, internet_address_get_name, (InternetAddress* ia), (ia)) \
    X(GType, internet_address_get_type, (), ()) \
    X(InternetAddressList *, internet_address_group_get_members, (InternetAddressGroup* group), (group)) \
    X(GType, internet_address_group_get_type, (), ()) \
    X(InternetAddress *, internet_address_list_get_address, (InternetAddressList* list, int index), (list, index)) \
    X(int, internet_address_list_length, (InternetAddressList* list), (list)) \
    X(InternetAddressList *, internet_address_list_parse, (GMimeParserOptions* options, const char* str), (options, str)) \
    X(const char *, internet_address_mailbox_get_addr, (InternetAddressMailbox* mailbox), (mailbox)) \
    X(GType, internet_address_mailbox_get_type, (), ())

// clang-format on

// Hidden, so that a GLib another library loads (Qt's) never binds to these.
#define TALLOWIN_MIME_FORWARD(ret, name, params, args)                                                                 \
    __attribute__((visibility("hidden"))) ret(name) params                                                             \
    {                                                                                                                  \
        static const auto real = platform::MimeFunction(&name, #name);                                                 \
        return real args;                                                                                              \
    }

extern "C" {
TALLOWIN_MIME_FUNCTIONS(TALLOWIN_MIME_FORWARD)
}
