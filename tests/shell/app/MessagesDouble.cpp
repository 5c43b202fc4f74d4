// Stands in for the message routines until the string table is built: the
// program's window class and title, and the start of message 40035.
#include "Messages.h"

#include "MessageBox.h"

#include <algorithm>
#include <string>

namespace shell
{
namespace
{
platform::ModuleHandle resourceModule = nullptr;

const char16_t* Text(unsigned id)
{
    switch (id) {
    case 1:
        return u"Tallowin";
    case 3:
        return u"TALLOWIN";
    case 40035:
        return u"Plotwise DLL missing or outdated... reinstall Tallowin.";
    default:
        return nullptr;
    }
}
} // namespace

platform::ModuleHandle ResourceModule()
{
    return resourceModule;
}

void SetResourceModule(platform::ModuleHandle module)
{
    resourceModule = module;
}

const char16_t* LoadResString(platform::ModuleHandle, unsigned id, char16_t* buffer, std::size_t size)
{
    const char16_t* text = Text(id);
    if (text == nullptr || buffer == nullptr)
        return text;
    std::u16string_view view(text);
    std::size_t count = std::min(view.size(), size - 1);
    view.copy(buffer, count);
    buffer[count] = u'\0';
    return buffer;
}

int ShowMessageId(unsigned id)
{
    const char16_t* text = Text(id);
    return platform::MessageBoxW(text != nullptr ? text : u"", u"Alert...");
}

int ShowMessageIdWithText(unsigned id, const char16_t* text)
{
    return ShowMessageId(id);
}

void ShowBusyCursor()
{
}
void HideBusyCursor()
{
}

} // namespace shell
