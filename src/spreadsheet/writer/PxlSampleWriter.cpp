// Writes the sample workbooks into the directory named on the command line.
#include "SampleWorkbooks.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: pxl-sample-writer <directory>\n");
        return 2;
    }
    std::filesystem::path directory(argv[1]);
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    int failures = 0;
    for (const spreadsheet::SampleWorkbook& sample : spreadsheet::SampleWorkbooks()) {
        std::filesystem::path path = directory / sample.FileName;
        if (!spreadsheet::WriteFileBytes(path.string(), spreadsheet::WriteWorkbook(sample.Content))) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
