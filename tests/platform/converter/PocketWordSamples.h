#pragma once

// The Pocket Word documents of samples/pocketword, as the fixture writer
// makes them.

#include "PocketWordWriter.h"

#include <string>
#include <vector>

namespace pocketword {

struct Sample {
    std::string FileName;
    Document Content;
};

std::vector<Sample> Samples();

} // namespace pocketword
