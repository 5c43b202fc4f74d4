#pragma once

// The sample workbooks shipped in samples/workbooks, as descriptions.

#include "WorkbookWriter.h"

#include <string>
#include <vector>

namespace spreadsheet {

struct SampleWorkbook {
    std::string FileName;
    WorkbookDescription Content;
};

std::vector<SampleWorkbook> SampleWorkbooks();

} // namespace spreadsheet
