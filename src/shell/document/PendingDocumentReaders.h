#pragma once

// RTF documents and Pocket Word ink documents need the RTF reader, the
// converter's RTF-to-text conversion and its Pocket Word reader, which are
// not built yet. Until they are, such a document is reported on standard
// error and counts as not printed, so nothing prints garbage. This file and
// its two uses in OpenDocument.cpp go away when those readers land.

namespace shell
{

// Says on standard error that printing this kind of document is not built
// yet; returns 0 (not printed).
int ReportDocumentReaderPending(const char16_t* path);

// Stands where the RTF reader's RtfPrintDocument will be called.
int RtfPrintDocument();

} // namespace shell
