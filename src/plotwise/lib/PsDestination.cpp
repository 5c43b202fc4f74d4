#include "Destination.h"
#include "DocumentFile.h"
#include "PdfWriter.h"
#include "PsPage.h"

#include <libdeflate.h>

#include <cerrno>
#include <cmath>
#include <cstdio>

namespace plotwise {
namespace {

constexpr size_t kCopyBlock = 1 << 16;
// As fast as the PDF writer's compression.
constexpr int kCompressionLevel = 1;

struct CompressorDeleter {
    void operator()(libdeflate_compressor* compressor) const { libdeflate_free_compressor(compressor); }
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The title as one line of a comment.
std::string CommentText(const std::string& title)
{
    std::string text = title;
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < ' ' || c == 0x7F)
            c = ' ';
    }
    return text.empty() ? "document" : text;
}

// PostScript written by the library itself, with the conventions of
// structured documents: the pages are kept in a temporary file as they end,
// since the prolog that defines the fonts they use is only complete after
// the last; the document is then written prolog first.
class PsDestination final : public Destination {
public:
    PsDestination(const PrintSetup& setup, const PageGeometry& geometry, std::string title)
        : setup_(setup)
        , geometry_(geometry)
        , title_(std::move(title))
    {
    }

    bool Begin(std::string& error) override
    {
        if (!OpenDocumentFile(setup_, title_, file_, path_, error))
            return false;
        pages_.reset(std::tmpfile());
        if (!pages_) {
            error = CannotWrite(path_, errno);
            file_.Abandon();
            return false;
        }
        return true;
    }

    bool EmitPage(const Page& page, int number, std::string& error) override
    {
        std::string content = "%%Page: ";
        AppendInteger(content, number);
        content += ' ';
        AppendInteger(content, number);
        content += "\n%%BeginPageSetup\nsave\n%%EndPageSetup\nPg\n";
        // The drawing goes in compressed: its text is mostly glyph codes and
        // advances, which shrink to a fifth or less.
        std::string drawing = PsPageContent(page, geometry_, fonts_, std::move(buffer_));
        if (!compressor_)
            compressor_.reset(libdeflate_alloc_compressor(kCompressionLevel));
        compressed_.resize(compressor_ ? libdeflate_zlib_compress_bound(compressor_.get(), drawing.size()) : 0);
        const size_t size = compressor_ ? libdeflate_zlib_compress(compressor_.get(), drawing.data(), drawing.size(),
                                              compressed_.data(), compressed_.size())
                                        : 0;
        if (size == 0)
            return Failed(error);
        AppendAscii85(content, std::string_view(compressed_.data(), size));
        content += "restore showpage\n%%PageTrailer\n";
        if (std::fwrite(content.data(), 1, content.size(), pages_.get()) != content.size()) {
            writeErrno_ = errno;
            return Failed(error);
        }
        buffer_ = std::move(drawing);
        ++pageCount_;
        return true;
    }

    bool Finish(int pageCount, std::string& error) override
    {
        if (pageCount == 0 || pageCount_ == 0) {
            // Nothing was printed: no empty document is left behind.
            Abandon();
            return true;
        }
        if (!WriteDocument())
            return Failed(error);
        pages_.reset();
        return file_.Commit(error);
    }

    std::string Where() const override { return file_.FinalPath(); }

    void Abandon() override
    {
        pages_.reset();
        file_.Abandon();
    }

private:
    std::string Header() const
    {
        const double width = geometry_.WidthPoints;
        const double height = geometry_.HeightPoints;
        std::string out = "%!PS-Adobe-3.0\n%%Title: " + CommentText(title_) + "\n%%Creator: Plotwise\n";
        out += "%%BoundingBox: 0 0 ";
        AppendInteger(out, static_cast<int64_t>(std::ceil(width)));
        out += ' ';
        AppendInteger(out, static_cast<int64_t>(std::ceil(height)));
        out += "\n%%HiResBoundingBox: 0 0 ";
        AppendReal(out, width, 2);
        out += ' ';
        AppendReal(out, height, 2);
        out += "\n%%DocumentMedia: Plain ";
        AppendReal(out, width, 2);
        out += ' ';
        AppendReal(out, height, 2);
        out += " 0 () ()\n%%DocumentData: ";
        out += fonts_.HasBinary() ? "Binary" : "Clean7Bit";
        out += "\n%%LanguageLevel: 3\n%%Pages: ";
        AppendInteger(out, pageCount_);
        out += "\n%%PageOrder: Ascend\n%%EndComments\n%%BeginProlog\n%%BeginResource: procset PlotwiseDict 1 0\n";
        out += kPostScriptProcedures;
        out += "%%EndResource\nPlotwiseDict begin\n";
        fonts_.AppendDefinitions(out);
        out += "end\n%%EndProlog\n%%BeginSetup\nPlotwiseDict begin\n"
               "/setpagedevice where{pop<</PageSize[";
        AppendReal(out, width, 2);
        out += ' ';
        AppendReal(out, height, 2);
        out += "]/ImagingBBox null>>setpagedevice}if\n%%EndSetup\n";
        return out;
    }

    bool WriteDocument()
    {
        const std::string header = Header();
        if (!file_.Write(header.data(), header.size()))
            return false;
        if (std::fflush(pages_.get()) != 0 || std::fseek(pages_.get(), 0, SEEK_SET) != 0) {
            writeErrno_ = errno;
            return false;
        }
        std::string block(kCopyBlock, '\0');
        size_t count = 0;
        while ((count = std::fread(block.data(), 1, block.size(), pages_.get())) > 0) {
            if (!file_.Write(block.data(), count))
                return false;
        }
        if (std::ferror(pages_.get())) {
            writeErrno_ = errno;
            return false;
        }
        static constexpr char kTrailer[] = "%%Trailer\nend\n%%EOF\n";
        return file_.Write(kTrailer, sizeof kTrailer - 1);
    }

    bool Failed(std::string& error)
    {
        pages_.reset();
        error = writeErrno_ && !file_.WriteErrno() ? CannotWrite(path_, writeErrno_)
                                                   : DocumentWriteFailure(file_, path_);
        file_.Abandon();
        return false;
    }

    PrintSetup setup_;
    PageGeometry geometry_;
    std::string title_;
    std::string path_;
    OutputFile file_;
    std::unique_ptr<std::FILE, FileCloser> pages_;
    PsFontSet fonts_;
    std::string buffer_;
    std::unique_ptr<libdeflate_compressor, CompressorDeleter> compressor_;
    std::string compressed_;
    int pageCount_ = 0;
    int writeErrno_ = 0;
};

} // namespace

std::unique_ptr<Destination> CreatePsDestination(
    const PrintSetup& setup, const PageGeometry& geometry, const std::string& title)
{
    return std::make_unique<PsDestination>(setup, geometry, title);
}

} // namespace plotwise
