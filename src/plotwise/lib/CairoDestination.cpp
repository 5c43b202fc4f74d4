#include "CairoLibrary.h"
#include "Destination.h"
#include "DocumentFile.h"
#include "PngPage.h"

#include <cairo-ps.h>

#include <cerrno>

namespace plotwise {
namespace {

// PostScript and PNG pages are drawn with cairo, loaded when the first such
// job begins.
bool CairoReady(std::string& error)
{
    if (CairoLibraryLoaded())
        return true;
    error = "the cairo library libcairo.so.2 cannot be loaded";
    return false;
}

constexpr double kPointsPerInch = 72.0;

struct Deleter {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, Deleter>;

cairo_status_t WriteToOutput(void* closure, const unsigned char* data, unsigned int length)
{
    return static_cast<OutputFile*>(closure)->Write(data, length) ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

// PostScript: one document drawn by cairo.
class PostScriptDestination final : public Destination {
public:
    PostScriptDestination(const PrintSetup& setup, const PageGeometry& geometry, std::string title)
        : setup_(setup)
        , geometry_(geometry)
        , title_(std::move(title))
    {
    }

    bool Begin(std::string& error) override
    {
        return CairoReady(error) && OpenDocumentFile(setup_, title_, file_, path_, error);
    }

    bool EmitPage(const Page& page, int, std::string& error) override
    {
        if (!surface_ && !CreateSurface())
            return Failed(error);
        cairo_t* context = cairo_create(surface_.get());
        cairo_scale(context, kPointsPerInch / geometry_.Dpi, kPointsPerInch / geometry_.Dpi);
        cairo_translate(context, geometry_.OffsetX, geometry_.OffsetY);
        RenderPage(context, page);
        cairo_show_page(context);
        cairo_status_t status = cairo_status(context);
        cairo_destroy(context);
        if (status != CAIRO_STATUS_SUCCESS || cairo_surface_status(surface_.get()) != CAIRO_STATUS_SUCCESS)
            return Failed(error);
        return true;
    }

    bool Finish(int pageCount, std::string& error) override
    {
        if (pageCount == 0 || !surface_) {
            // Nothing was printed: no empty document is left behind.
            file_.Abandon();
            return true;
        }
        cairo_surface_finish(surface_.get());
        bool written = cairo_surface_status(surface_.get()) == CAIRO_STATUS_SUCCESS;
        surface_.reset();
        if (!written)
            return Failed(error);
        return file_.Commit(error);
    }

    std::string Where() const override { return file_.FinalPath(); }

    void Abandon() override
    {
        surface_.reset();
        file_.Abandon();
    }

private:
    bool CreateSurface()
    {
        surface_.reset(
            cairo_ps_surface_create_for_stream(WriteToOutput, &file_, geometry_.WidthPoints, geometry_.HeightPoints));
        cairo_ps_surface_dsc_comment(surface_.get(), ("%%Title: " + title_).c_str());
        return cairo_surface_status(surface_.get()) == CAIRO_STATUS_SUCCESS;
    }

    bool Failed(std::string& error)
    {
        surface_.reset();
        error = DocumentWriteFailure(file_, path_);
        file_.Abandon();
        return false;
    }

    PrintSetup setup_;
    PageGeometry geometry_;
    std::string title_;
    std::string path_;
    OutputFile file_;
    SurfacePtr surface_;
};

// One PNG per page, "name-1.png", "name-2.png" ..., at one pixel per dot,
// drawn in bands.
class PngDestination final : public Destination {
public:
    PngDestination(const PrintSetup& setup, const PageGeometry& geometry)
        : setup_(setup)
        , geometry_(geometry)
    {
        std::string path = setup.OutputPath;
        stem_ = path.substr(0, path.size() - 4);
        extension_ = path.substr(path.size() - 4);
    }

    bool Begin(std::string& error) override
    {
        // Find out now whether the folder can be written, before any page.
        OutputFile probe;
        return CairoReady(error) && probe.Open(PagePath(1), ExistingFile::Replace, error);
    }

    bool EmitPage(const Page& page, int number, std::string& error) override
    {
        OutputFile file;
        if (!file.Open(PagePath(number), ExistingFile::Replace, error))
            return false;
        const PngResult result = WritePngPage(page, geometry_, PngBandRows(geometry_),
            [&file](const unsigned char* data, std::size_t size) { return file.Write(data, size); });
        if (result != PngResult::Written) {
            error = CannotWrite(PagePath(number), result == PngResult::OutOfMemory ? ENOMEM : file.WriteErrno());
            file.Abandon();
            return false;
        }
        return file.Commit(error);
    }

    bool Finish(int pageCount, std::string&) override
    {
        pages_ = pageCount;
        return true;
    }
    void Abandon() override { }
    std::string Where() const override
    {
        return pages_ == 1 ? PagePath(1) : PagePath(1) + " to " + PagePath(pages_);
    }

private:
    std::string PagePath(int number) const { return stem_ + "-" + std::to_string(number) + extension_; }

    PrintSetup setup_;
    PageGeometry geometry_;
    std::string stem_;
    std::string extension_;
    int pages_ = 0;
};

} // namespace

std::unique_ptr<Destination> CreateDestination(
    const PrintSetup& setup, const PageGeometry& geometry, const std::string& title)
{
    switch (setup.Destination) {
    case DestinationKind::Recording:
        return CreateRecordingDestination(setup.OutputPath, setup.ExplicitOutput);
    case DestinationKind::Png:
        return std::make_unique<PngDestination>(setup, geometry);
    case DestinationKind::PostScript:
        return std::make_unique<PostScriptDestination>(setup, geometry, title);
    case DestinationKind::Pdf:
    case DestinationKind::Cups:
        break;
    }
    return CreatePdfDestination(setup, geometry, title);
}

} // namespace plotwise
