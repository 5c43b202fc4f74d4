#include "LogFile.h"

#include <cstdio>

namespace bench {
namespace {

constexpr const char* kLevels[] = { "INFO ", "DEBUG", "WARN ", "INFO ", "ERROR" };
constexpr const char* kEvents[] = { "request served from cache shard", "connection accepted from port",
    "retrying upload of block", "checkpoint written for journal", "queue length now" };

} // namespace

bool WriteLogFile(const std::filesystem::path& path, int lines)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    unsigned state = 12345;
    for (int i = 0; i < lines; ++i) {
        state = state * 1103515245u + 12345u;
        unsigned value = (state >> 8) % 10000;
        int second = i % 60;
        int minute = (i / 60) % 60;
        int hour = (i / 3600) % 24;
        std::fprintf(file, "2026-12-06 %02d:%02d:%02d.%03u %s [worker-%02u] %s %u (%u ms)\n", hour, minute, second,
            value % 1000, kLevels[i % 5], (state >> 4) % 16, kEvents[(state >> 12) % 5], value, value % 97);
    }
    return std::fclose(file) == 0;
}

} // namespace bench
