#include "Destination.h"
#include "DocumentFile.h"
#include "PdfPage.h"

#include <cerrno>
#include <ctime>

namespace plotwise {
namespace {

// "D:20231114221320Z"
std::string PdfDate(long long seconds)
{
    std::time_t time = static_cast<std::time_t>(seconds);
    std::tm parts {};
    gmtime_r(&time, &parts);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "(D:%Y%m%d%H%M%SZ)", &parts);
    return buffer;
}

// PDF written by the library itself: each page's content stream as the
// page ends, the fonts (subsets of the glyphs used) and the page tree at the
// end. Also the document for a CUPS queue.
class PdfDestination final : public Destination {
public:
    PdfDestination(const PrintSetup& setup, const PageGeometry& geometry, std::string title)
        : setup_(setup)
        , geometry_(geometry)
        , title_(std::move(title))
        , pdf_(file_)
        , fonts_(pdf_)
        , images_(pdf_)
    {
    }

    bool Begin(std::string& error) override
    {
        if (!OpenDocumentFile(setup_, title_, file_, path_, error))
            return false;
        if (!pdf_.Begin())
            return Failed(error);
        catalog_ = pdf_.Reserve();
        pages_ = pdf_.Reserve();
        resources_ = pdf_.Reserve();
        return true;
    }

    bool EmitPage(const Page& page, int, std::string& error) override
    {
        std::string content = PageContent(page, geometry_, fonts_, images_, pdf_.SpareBuffer());
        return WritePage(std::move(content), nullptr, 0, error);
    }

    // The page's content stream is made on the file's writing thread, beside
    // the layout of the next page, when the page lets it and that thread is
    // not already behind; else here, which gives the same bytes.
    bool TakePage(Page& page, int number, std::string& error) override
    {
        if (pdf_.StreamsToBuild() >= kMostPagesToBuild)
            return EmitPage(page, number, error);
        const size_t expectedBytes = page.Ops.size() * kBytesPerOperation;
        std::unique_ptr<StreamBuilder> builder = FixedPageContent(page, geometry_, fonts_);
        if (!builder)
            return EmitPage(page, number, error);
        return WritePage({}, std::move(builder), expectedBytes, error);
    }

    bool Finish(int pageCount, std::string& error) override
    {
        if (pageCount == 0 || pageObjects_.empty()) {
            // Nothing was printed: no empty document is left behind.
            file_.Abandon();
            return true;
        }
        if (!WriteDocumentObjects())
            return Failed(error);
        if (!file_.Commit(error))
            return false;
        if (setup_.Destination == DestinationKind::Cups) {
            int job = 0;
            if (!SubmitToQueue(setup_, path_, title_, error, &job))
                return false;
            where_ = "queue " + setup_.CupsQueue + " as job " + std::to_string(job);
            return true;
        }
        where_ = file_.FinalPath();
        return true;
    }

    std::string Where() const override { return where_; }

    void Abandon() override
    {
        pdf_.Cancel();
        file_.Abandon();
    }

private:
    // Bytes a drawing operation typically takes in a content stream.
    static constexpr size_t kBytesPerOperation = 64;
    // Pages waiting for the writing thread to make their content, at most.
    static constexpr size_t kMostPagesToBuild = 2;

    bool WritePage(
        std::string content, std::unique_ptr<StreamBuilder> builder, size_t expectedBytes, std::string& error)
    {
        images_.EndPage();
        int contentObject = pdf_.Reserve();
        int pageObject = pdf_.Reserve();
        std::string dictionary = "<</Type/Page/Parent ";
        AppendInteger(dictionary, pages_);
        dictionary += " 0 R/MediaBox[0 0 ";
        AppendReal(dictionary, geometry_.WidthPoints);
        dictionary += ' ';
        AppendReal(dictionary, geometry_.HeightPoints);
        dictionary += "]/Resources ";
        AppendInteger(dictionary, resources_);
        dictionary += " 0 R/Contents ";
        AppendInteger(dictionary, contentObject);
        dictionary += " 0 R>>";
        const bool contentWritten = builder
            ? pdf_.WriteStream(contentObject, "", std::move(builder), expectedBytes, StreamData::Compressed)
            : pdf_.WriteStream(contentObject, "", std::move(content), StreamData::Compressed);
        if (!contentWritten || !pdf_.WriteObject(pageObject, std::move(dictionary)))
            return Failed(error);
        pageObjects_.push_back(pageObject);
        return true;
    }

    bool WriteDocumentObjects()
    {
        if (!fonts_.WriteAll())
            return false;
        std::string resources = "<</Font<<";
        fonts_.AppendResources(resources);
        resources += ">>/XObject<<";
        images_.AppendResources(resources);
        resources += ">>>>";

        std::string pages = "<</Type/Pages/Kids[";
        for (int page : pageObjects_) {
            AppendInteger(pages, page);
            pages += " 0 R ";
        }
        pages += "]/Count ";
        AppendInteger(pages, static_cast<int64_t>(pageObjects_.size()));
        pages += ">>";

        std::string catalog = "<</Type/Catalog/Pages ";
        AppendInteger(catalog, pages_);
        catalog += " 0 R>>";

        long long epoch = SourceDateEpoch();
        std::string date = PdfDate(epoch >= 0 ? epoch : static_cast<long long>(std::time(nullptr)));
        std::string info = "<</Title";
        AppendTextString(info, title_);
        info += "/Creator(Plotwise)/Producer(Plotwise)/CreationDate" + date + "/ModDate" + date + ">>";
        int infoObject = pdf_.Reserve();

        return pdf_.WriteObject(resources_, resources) && pdf_.WriteObject(pages_, pages)
            && pdf_.WriteObject(catalog_, catalog) && pdf_.WriteObject(infoObject, info)
            && pdf_.Finish(catalog_, infoObject);
    }

    bool Failed(std::string& error)
    {
        pdf_.Cancel();
        error = DocumentWriteFailure(file_, path_);
        file_.Abandon();
        return false;
    }

    PrintSetup setup_;
    PageGeometry geometry_;
    std::string title_;
    std::string path_;
    std::string where_;
    OutputFile file_;
    PdfFile pdf_;
    PdfFontSet fonts_;
    PdfImageSet images_;
    int catalog_ = 0;
    int pages_ = 0;
    int resources_ = 0;
    std::vector<int> pageObjects_;
};

} // namespace

std::unique_ptr<Destination> CreatePdfDestination(
    const PrintSetup& setup, const PageGeometry& geometry, const std::string& title)
{
    return std::make_unique<PdfDestination>(setup, geometry, title);
}

} // namespace plotwise
