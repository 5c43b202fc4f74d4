#pragma once

// The e-mail printer's test set-up: the printing library double, the store
// double as the open store, settings at their defaults, a fixed locale and
// time zone, and the message boxes recorded.

#include "AppSettings.h"
#include "FakePrinter.h"
#include "MailDoubles.h"
#include "MailPrint.h"
#include "MessageBox.h"
#include "PrintJob.h"
#include "PutMailChar.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace email::test {

inline constexpr char16_t kPrintFailedText[] = u"Error: Unable to print this email";

class MailPrintFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("LC_ALL", "en_US.UTF-8", 1);
        setenv("LANG", "en_US.UTF-8", 1);
        setenv("TZ", "UTC", 1);
        setenv("TALLOWIN_REGISTRY", "/nonexistent/tallowin-test-registry.reg", 1);
        core::ResetAppSettings();
        core::ResetRunOptions();
        core::Settings().QuickPrint = 1;
        printengine::ResetPrintEngine();
        InstallMailPrinter();
        ResetMailCharFilter();
        Mail() = MailSession {};
        auto store = std::make_unique<StoreDouble>();
        store_ = store.get();
        Mail().store = std::move(store);
        shown_.clear();
        platform::SetMessageBoxHost([this](std::u16string_view text, std::u16string_view) {
            shown_.emplace_back(text);
            return platform::IDOK;
        });
    }
    void TearDown() override
    {
        platform::SetMessageBoxHost(nullptr);
        Mail() = MailSession {};
        printengine::ResetPrintEngine();
        printengine::testing::RemoveFakePrinter();
        unsetenv("TZ");
    }

    // Binds the printing library double to a page of 8.5 by 11 inches at 100
    // dpi with margins of 0.75 inch and characters half as wide as the font is
    // high, with a fresh log; the message box host stays the fixture's.
    static void InstallMailPrinter()
    {
        printengine::testing::BindFakePrinter({ .Margins = { 750, 750, 750, 750 }, // thousandths of an inch
            .Dpi = 100,
            .PhysicalWidth = 850,
            .PhysicalHeight = 1100,
            .CharWidth = 0,
            .Fonts = {} });
    }

    // Prints message `id` of the store double without a view to refresh;
    // returns the failed step.
    std::uint16_t Print(std::uint8_t id)
    {
        std::uint8_t bytes[] = { id };
        const EntryIdBlock entry { 1, bytes };
        return PrintMailMessageWithStep(&entry, MailViewRefresh::NoView);
    }

    // Prints `message` as message 1 on a fresh printing library double;
    // returns the failed step.
    std::uint16_t PrintMessage(const MessageContent& message)
    {
        InstallMailPrinter();
        store_->messages[1] = message;
        return Print(1);
    }

    // The printed lines of the job, without the page breaks.
    static std::vector<std::u16string> Lines()
    {
        std::vector<std::u16string> lines;
        std::u16string line;
        for (char16_t ch : printengine::testing::PrintedText()) {
            if (ch == u'\n' || ch == u'\f') {
                lines.push_back(line);
                line.clear();
            } else {
                line += ch;
            }
        }
        if (!line.empty()) {
            lines.push_back(line);
        }
        return lines;
    }

    StoreDouble* store_ = nullptr;
    std::vector<std::u16string> shown_;
};

// A message with every header value and one To and one Cc recipient.
inline MessageContent FullMessage()
{
    MessageContent message;
    message.props.Set(platform::PR_SUBJECT_W, std::u16string(u"Quarterly figures"));
    message.props.Set(platform::PR_SENDER_EMAIL_ADDRESS_W, std::u16string(u"ann@example.org"));
    message.props.Set(platform::PR_MESSAGE_DELIVERY_TIME, platform::FileTimeFromUnix(1741097100, 0));
    message.recipients.push_back(Recipient(platform::MAPI_TO, u"Bob Stone", u"bob@example.org"));
    message.recipients.push_back(Recipient(platform::MAPI_CC, std::nullopt, u"cc@example.org"));
    message.body = u"Hello Bob,\r\nthe figures.\r\n";
    return message;
}

} // namespace email::test
