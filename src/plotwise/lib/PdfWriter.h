#pragma once

// The bottom of the PDF writer: numbered objects written one after another
// to an output file, their offsets kept for the cross-reference table, and
// the number formatting every content stream uses. An object's number may be
// reserved long before the object is written, so that pages can refer to
// fonts whose glyphs are only known at the end of the job.

#include "OutputFile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct libdeflate_compressor;

namespace plotwise {

// Appends an integer in decimal.
void AppendInteger(std::string& out, int64_t value);
// Appends a real with at most `decimals` digits after the point, without
// trailing zeros ("12", "0.5", "-3.25").
void AppendReal(std::string& out, double value, int decimals = 4);
// Appends bytes as a PDF hexadecimal string "<...>".
void AppendHexString(std::string& out, std::string_view bytes);
// Appends UTF-8 text as a PDF text string: UTF-16BE with its byte order mark,
// in hexadecimal.
void AppendTextString(std::string& out, std::string_view utf8);

// Whether a stream's data is compressed before it is written.
enum class StreamData { Compressed, AsIs };

class PdfFile {
public:
    explicit PdfFile(OutputFile& file);

    // Writes the header. False when the file cannot be written.
    bool Begin();
    // A new object number, for an object written later.
    int Reserve();
    // Writes object `number` whose body is `body` ("<< ... >>", "[...]" ...).
    bool WriteObject(int number, std::string_view body);
    // Writes object `number` as a stream: `dictionary` holds the entries
    // other than /Length and /Filter, without the surrounding "<< >>".
    bool WriteStream(int number, std::string_view dictionary, std::string_view data, StreamData kind);
    // Writes the cross-reference table and the trailer. Every reserved
    // number must have been written by then.
    bool Finish(int root, int info);

    // The bytes written so far.
    uint64_t Size() const { return written_; }

private:
    bool Write(std::string_view bytes);
    bool StartObject(int number);

    struct CompressorDeleter {
        void operator()(libdeflate_compressor* compressor) const;
    };

    OutputFile& file_;
    std::unique_ptr<libdeflate_compressor, CompressorDeleter> compressor_;
    std::vector<uint64_t> offsets_; // by object number - 1
    std::string compressed_;
    uint64_t written_ = 0;
    bool failed_ = false;
};

} // namespace plotwise
