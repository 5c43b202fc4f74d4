#pragma once

// Message boxes. Without a window system a box is one line on standard
// error: the program's name, then the text. The interactive window installs a host
// that shows a real box; tests install one that records what was shown.

#include <functional>
#include <string_view>

namespace platform {

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

using MessageBoxHost = std::function<int(std::u16string_view text, std::u16string_view caption)>;

// Shows a box with one OK button and returns the host's answer (IDOK for
// the standard-error host).
int MessageBoxW(std::u16string_view text, std::u16string_view caption);

// Replaces the host; an empty function restores the standard-error host.
void SetMessageBoxHost(MessageBoxHost host);

} // namespace platform
