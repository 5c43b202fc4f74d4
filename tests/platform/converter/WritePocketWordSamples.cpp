// Writes the Pocket Word samples into the folder named on the command line:
//   pocketword-samples samples/pocketword

#include "PocketWordSamples.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    for (const pocketword::Sample& sample : pocketword::Samples()) {
        const std::vector<std::uint8_t> bytes = pocketword::WritePocketWord(sample.Content);
        const std::filesystem::path path = std::filesystem::path(argv[1]) / sample.FileName;
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
