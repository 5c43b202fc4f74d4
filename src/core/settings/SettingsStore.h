#pragma once

// Reads and writes the settings as four binary values of the registry key
// Software\Apps\Brackwater\Tallowin. Failures are silent: a missing key or
// value keeps what is in memory, a failed write leaves the older value.

#include <cstdint>

namespace core {

void LoadSettings();
void SaveSettings();

// Stores ResizeChoice and its scale; an unknown choice becomes 100 % (1002).
void SetResizeChoice(std::int32_t choice);

} // namespace core
