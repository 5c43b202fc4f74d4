#include "CairoLibrary.h"
#include "Destination.h"
#include "DocumentFile.h"
#include "PngPage.h"

#include <cerrno>

namespace plotwise {
namespace {

// PNG pages are drawn with cairo, loaded when the first such job begins.
bool CairoReady(std::string& error)
{
    if (CairoLibraryLoaded())
        return true;
    error = "the cairo library libcairo.so.2 cannot be loaded";
    return false;
}

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
        return CreatePsDestination(setup, geometry, title);
    case DestinationKind::Pdf:
    case DestinationKind::Cups:
        break;
    }
    return CreatePdfDestination(setup, geometry, title);
}

} // namespace plotwise
