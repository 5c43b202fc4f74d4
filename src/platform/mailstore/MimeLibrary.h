#pragma once

// The MIME library (GMime, with the GLib libraries below it) is loaded when
// e-mail is first read, not at every start: a run that prints a document or
// a workbook never needs it, and loading it costs about a tenth of such a
// run. The GMime and GLib calls of this layer are bound to it then.

namespace platform {

// Loads the MIME library once. False when it cannot be loaded; the user is
// told why on standard error the first time. Every later GMime or GLib call
// of this layer needs a true answer first.
bool LoadMimeLibrary();

} // namespace platform
