#pragma once

// Where a job's pages go. A destination receives only pages that received
// something, numbered from 1, and is finished or abandoned once.

#include "DisplayList.h"
#include "PrintSetup.h"

#include <memory>
#include <string>

namespace plotwise {

struct PageGeometry {
    int32_t Dpi = 600;
    int32_t Width = 0; // device units, the whole paper
    int32_t Height = 0;
    int32_t OffsetX = 0; // the printable area's corner on the paper
    int32_t OffsetY = 0;
    double WidthPoints = 0;
    double HeightPoints = 0;
};

class Destination {
public:
    virtual ~Destination() = default;
    // Opens the output; error is the message for the user on failure.
    virtual bool Begin(std::string& error) = 0;
    virtual bool EmitPage(const Page& page, int number, std::string& error) = 0;
    // The same for a page the job no longer needs: a destination may take
    // its operations, leaving it empty, to draw them later.
    virtual bool TakePage(Page& page, int number, std::string& error) { return EmitPage(page, number, error); }
    // Completes the output after the last page.
    virtual bool Finish(int pageCount, std::string& error) = 0;
    virtual void Abandon() = 0;
    // Where the finished pages went, for the user: a file, or a queue and
    // its job; empty when there is nothing to say.
    virtual std::string Where() const { return {}; }
};

std::unique_ptr<Destination> CreateDestination(
    const PrintSetup& setup, const PageGeometry& geometry, const std::string& title);

// PDF, also the document sent to a CUPS queue.
std::unique_ptr<Destination> CreatePdfDestination(
    const PrintSetup& setup, const PageGeometry& geometry, const std::string& title);

// PostScript, written by the library itself.
std::unique_ptr<Destination> CreatePsDestination(
    const PrintSetup& setup, const PageGeometry& geometry, const std::string& title);

std::unique_ptr<Destination> CreateRecordingDestination(const std::string& path, bool explicitOutput);

// The recording writes drawing calls as text lines; RecordPage gives the
// lines of one page, as the recording destination writes them.
std::string RecordPage(const Page& page, int number);

// Draws one page on a cairo context whose user unit is one device unit.
void RenderPage(cairo_t* context, const Page& page);

} // namespace plotwise
