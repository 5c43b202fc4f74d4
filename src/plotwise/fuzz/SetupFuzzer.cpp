// Fuzzes the reading of settings: every line of the input is one
// "key=value" setting, as in the configuration file.

#include "PrintSetup.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    plotwise::PrintSetup setup;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        size_t equals = line.find('=');
        if (equals != std::string_view::npos)
            plotwise::ApplySetting(setup, std::string(line.substr(0, equals)), std::string(line.substr(equals + 1)));
        plotwise::DestinationFromPath(std::string(line));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return 0;
}
