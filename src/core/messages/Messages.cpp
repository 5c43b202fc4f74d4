#include "Messages.h"

#include "AppSettings.h"
#include "FilePath.h"
#include "MessageBox.h"
#include "Process.h"
#include "StringIds.h"
#include "StringTable.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

namespace core {
namespace {

// The sizes the messages are read with.
constexpr std::size_t kMessageTextSize = 200;
constexpr std::size_t kCaptionSize = 20;
constexpr std::size_t kEntryBeforeTextSize = 160;

platform::ModuleHandle& CurrentResourceModule()
{
    static platform::ModuleHandle module = platform::ProgramModule();
    return module;
}

BusyCursorHost& CursorHost()
{
    static BusyCursorHost host;
    return host;
}

int ShowText(std::u16string_view text)
{
    std::array<char16_t, kCaptionSize> caption {};
    LoadResString(ResourceModule(), platform::kStrAlertCaption, caption.data(), caption.size());
    return platform::MessageBoxW(text, caption.data());
}

} // namespace

platform::ModuleHandle ResourceModule()
{
    return CurrentResourceModule();
}

void SetResourceModule(platform::ModuleHandle module)
{
    CurrentResourceModule() = module != nullptr ? module : platform::ProgramModule();
}

const char16_t* LoadResString(platform::ModuleHandle module, unsigned id, char16_t* buffer, std::size_t size)
{
    std::u16string_view text = platform::LoadStringW(module, id);
    if (text.empty() && module != platform::ProgramModule())
        text = platform::LoadStringW(platform::ProgramModule(), id);
    if (buffer == nullptr)
        return text.empty() ? nullptr : text.data();
    if (size == 0)
        return nullptr;
    std::size_t count = std::min(text.size(), size - 1);
    text.copy(buffer, count);
    buffer[count] = u'\0';
    return text.empty() ? nullptr : buffer;
}

int ShowMessageId(unsigned id)
{
    std::array<char16_t, kMessageTextSize> text {};
    LoadResString(ResourceModule(), id, text.data(), text.size());
    return ShowText(text.data());
}

std::u16string PathAsWritten(const char16_t* path)
{
    std::u16string written = path ? path : u"";
    std::replace(written.begin(), written.end(), u'\\', u'/');
    return written;
}

int ShowMessageIdWithText(unsigned id, const char16_t* text)
{
    // The entry is read into 160 units, but the text joined to it may take
    // the message up to 199: the joined message gets room for all of it.
    std::array<char16_t, kMessageTextSize> message {};
    LoadResString(ResourceModule(), id, message.data(), kEntryBeforeTextSize);
    std::u16string_view entry(message.data());
    if (text != nullptr) {
        std::u16string_view appended(text);
        if (entry.size() + appended.size() < kMessageTextSize) {
            appended.copy(message.data() + entry.size(), appended.size());
            message[entry.size() + appended.size()] = u'\0';
        }
    }
    return ShowText(message.data());
}

int ShowFileMessage(unsigned id, const char16_t* path)
{
    std::u16string text = PathAsWritten(path);
    constexpr std::pair<platform::FileProblem, unsigned> kReasons[] = {
        { platform::FileProblem::NotFound, platform::kStrReasonNotFound },
        { platform::FileProblem::Folder, platform::kStrReasonFolder },
        { platform::FileProblem::NotPermitted, platform::kStrReasonNotPermitted },
        { platform::FileProblem::NotRegular, platform::kStrReasonNotRegular },
    };
    const platform::FileProblem problem = platform::DiagnoseFile(path ? path : u"");
    unsigned reason = 0;
    for (const auto& [kind, id] : kReasons) {
        if (kind == problem)
            reason = id;
    }
    const char16_t* because = reason ? LoadResString(ResourceModule(), reason, nullptr, 0) : nullptr;
    std::array<char16_t, kMessageTextSize> entry {};
    LoadResString(ResourceModule(), id, entry.data(), kEntryBeforeTextSize);
    if (because && std::u16string_view(entry.data()).size() + text.size() + std::u16string_view(because).size()
            < kMessageTextSize)
        text += because;
    return ShowMessageIdWithText(id, text.c_str());
}

void ShowBusyCursor()
{
    if (CursorHost())
        CursorHost()(true);
}

void HideBusyCursor()
{
    if (CursorHost())
        CursorHost()(false);
}

void SetBusyCursorHost(BusyCursorHost host)
{
    CursorHost() = std::move(host);
}

// The help pages, as string-table entries "file:tallowin.htm#ANCHOR".
void ShowHelpTopic(int topic)
{
    constexpr std::size_t kHelpPageUnits = 80;
    unsigned page = 0;
    switch (topic) {
    case kHelpTopicResizeDialog:
        page = platform::kStrHelpDocOptions;
        break;
    case kHelpTopicStartupScreen:
        page = platform::kStrHelpMainContents;
        break;
    case kHelpTopicEmailOptions:
    case kHelpTopicSheetOptions:
        page = platform::kStrHelpEmailOptions;
        break;
    case kHelpTopicMainWindow:
        switch (Settings().ViewMode) {
        case kViewDocuments:
            page = platform::kStrHelpDocs;
            break;
        case kViewWorkbooks:
            page = platform::kStrHelpExcel;
            break;
        case kViewEmail:
            page = platform::kStrHelpEmails;
            break;
        default:
            break;
        }
        break;
    default:
        break;
    }
    if (page == 0)
        return;
    const char16_t* address = LoadResString(ResourceModule(), page, nullptr, kHelpPageUnits);
    if (address)
        platform::CreateProcessW(u"peghelp", address);
}

} // namespace core
