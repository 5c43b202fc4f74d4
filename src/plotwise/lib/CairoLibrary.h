#pragma once

// cairo is loaded when the library first calls it (CairoLibrary.cpp), so that
// a job printed to PDF never loads it.

namespace plotwise {

// Loads cairo if it is not loaded yet; false when it cannot be loaded, and
// every cairo call then fails.
bool CairoLibraryLoaded();

} // namespace plotwise
