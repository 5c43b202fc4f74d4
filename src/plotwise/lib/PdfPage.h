#pragma once

// A page of the display list as a PDF content stream. The stream works in
// device units with the origin at the top left of the printable area, as
// the display list does; one transformation at its start maps that onto
// the page in points.

#include "Destination.h"
#include "PdfFonts.h"

#include <memory>
#include <string>
#include <vector>

namespace plotwise {

// The pictures of a document as image objects, written when first drawn.
class PdfImageSet {
public:
    explicit PdfImageSet(PdfFile& pdf);

    // The resource name of the image ("Im1" ...), empty when it could not be
    // written. A picture drawn twice on a page is written once.
    std::string Use(const std::shared_ptr<cairo_surface_t>& image);
    // Forgets the pictures of the page that ended, so that memory holds one
    // page's pictures at most.
    void EndPage();
    // Appends "/Im1 n 0 R ..." for every image written.
    void AppendResources(std::string& out) const;

private:
    int Write(cairo_surface_t* image);

    PdfFile& pdf_;
    std::vector<std::pair<std::shared_ptr<cairo_surface_t>, std::string>> pageImages_;
    std::vector<int> objects_;
};

// The content stream of a page, written into buffer (whose room it reuses).
std::string PageContent(
    const Page& page, const PageGeometry& geometry, PdfFontSet& fonts, PdfImageSet& images, std::string buffer = {});

// The same content stream, made later on the file's writing thread: the
// page's fonts and glyphs are fixed in the set now, in the order PageContent
// would use them, and the builder takes the page's operations, leaving page
// empty. Null, with page untouched, when the page must be written by
// PageContent here (pictures, glyphs drawn as outlines).
std::unique_ptr<StreamBuilder> FixedPageContent(Page& page, const PageGeometry& geometry, PdfFontSet& fonts);

} // namespace plotwise
