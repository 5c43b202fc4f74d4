// The shell's message routines for programs that test the spreadsheet
// reader without the shell: the reader's texts, shown through the message
// box layer so that a test host records them.
#include "MessageBox.h"
#include "Messages.h"

#include <string>

namespace shell {
namespace {

struct Entry {
    unsigned Id;
    const char16_t* Text;
};

constexpr Entry kEntries[] = {
    { 40050, u"Unable to open PXL file : " },
    { 40051, u"Invalid PXL file : " },
    { 40052, u"Pocket Excel 1.0 Workbook format not supported." },
    { 40053, u"This file is not a supported PXL file." },
    { 40054, u"Error: This Pocket Excel file is password protected... cannot continue." },
    { 40078, u"Alert..." },
};

constexpr std::size_t kMessageLimit = 200;

const char16_t* Find(unsigned id)
{
    for (const Entry& entry : kEntries) {
        if (entry.Id == id)
            return entry.Text;
    }
    return u"";
}

} // namespace

platform::ModuleHandle ResourceModule()
{
    return nullptr;
}

void SetResourceModule(platform::ModuleHandle)
{
}

const char16_t* LoadResString(platform::ModuleHandle, unsigned id, char16_t* buffer, std::size_t size)
{
    const char16_t* text = Find(id);
    if (!buffer)
        return text;
    std::u16string_view view(text);
    std::size_t count = view.size() < size ? view.size() : (size ? size - 1 : 0);
    view.copy(buffer, count);
    if (size)
        buffer[count] = u'\0';
    return buffer;
}

int ShowMessageId(unsigned id)
{
    return platform::MessageBoxW(Find(id), Find(40078));
}

int ShowMessageIdWithText(unsigned id, const char16_t* text)
{
    std::u16string message = Find(id);
    std::u16string_view extra(text ? text : u"");
    if (message.size() + extra.size() < kMessageLimit)
        message += extra;
    return platform::MessageBoxW(message, Find(40078));
}

void ShowBusyCursor()
{
}

void HideBusyCursor()
{
}

} // namespace shell
