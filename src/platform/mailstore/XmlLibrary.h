#pragma once

// The HTML parser (libxml2) is loaded when a message without a plain-text
// part is first rendered, not at every start: most runs never need it. The
// libxml2 calls of this layer are bound to it then.

namespace platform {

// Loads and initialises the HTML parser once. False when it cannot be
// loaded; the user is told why on standard error the first time. Every
// libxml2 call of this layer needs a true answer first.
bool LoadXmlLibrary();

} // namespace platform
