#include "FullScreenDialog.h"

namespace core {
namespace {

constexpr std::uint32_t kFullScreenNoMenuBar = 16;
constexpr std::uint32_t kFullScreenInputPanelDown = 24;
// Task bar and input-panel button hidden.
constexpr int kFullScreenState = 10;

bool inputPanelShown = false;

} // namespace

int ShowInputPanel(int show)
{
    inputPanelShown = show != 0;
    return 1;
}

bool InputPanelShown()
{
    return inputPanelShown;
}

void PrepareFullScreenDialog(platform::DialogHandle dialog, int keepInputPanel)
{
    platform::SHInitDialog(dialog, keepInputPanel ? kFullScreenNoMenuBar : kFullScreenInputPanelDown);
    platform::SetForegroundWindow(dialog);
    platform::SHFullScreen(dialog, kFullScreenState);
}

} // namespace core
