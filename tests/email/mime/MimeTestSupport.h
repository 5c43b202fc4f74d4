#pragma once

// A message double whose MIME text is given bytes, with switches to make
// the store fail the way a broken message or a failing stream would.

#include "CountedStream.h"
#include "MailSession.h"
#include "MailStrings.h"
#include "MapiInterfaces.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace email::test {

inline constexpr char16_t kNoticeText[] = u"[Email is in unsupported format (HTML or other)... Unable to print]";

inline const char16_t* NoticeLoader(unsigned id, std::size_t)
{
    return id == 40066 ? kNoticeText : nullptr;
}

class MimeTextMessage final : public platform::IMessage {
public:
    enum class Mode { Normal, NoMimeText, FailingReads };

    explicit MimeTextMessage(std::string_view text, Mode mode = Mode::Normal, int goodReads = 0)
        : text_(text)
        , mode_(mode)
        , goodReads_(goodReads)
    {
    }

    platform::HRESULT GetProps(
        std::span<const platform::ULONG>, platform::ULONG, platform::ULONG*, platform::SPropValue**) override
    {
        return platform::MAPI_E_NO_SUPPORT;
    }
    platform::HRESULT OpenProperty(
        platform::ULONG tag, platform::ULONG, platform::ULONG, std::unique_ptr<platform::IStream>* stream) override
    {
        if (tag != platform::PR_CE_MIME_TEXT || mode_ == Mode::NoMimeText) {
            return platform::MAPI_E_NOT_FOUND;
        }
        *stream = std::make_unique<CountedStream>(
            std::vector<std::uint8_t>(text_.begin(), text_.end()), mode_ == Mode::FailingReads ? goodReads_ : -1);
        return platform::S_OK;
    }
    platform::HRESULT GetRecipientTable(platform::ULONG, std::unique_ptr<platform::IMAPITable>*) override
    {
        return platform::MAPI_E_CORRUPT_DATA;
    }
    platform::HRESULT GetAttachmentTable(platform::ULONG, std::unique_ptr<platform::IMAPITable>*) override
    {
        return platform::MAPI_E_NO_SUPPORT;
    }

private:
    std::string text_;
    Mode mode_;
    int goodReads_;
};

inline void ResetMailState()
{
    Mail().FailStep = 0;
    Mail().LastResult = 0;
    SetMailStringLoader(NoticeLoader);
}

} // namespace email::test
