#pragma once

// A message double whose MIME text is given bytes, with switches to make
// the store fail the way a broken message or a failing stream would.

#include "MailSession.h"
#include "MailStrings.h"
#include "MapiInterfaces.h"
#include "MemoryStream.h"

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

// Fails every read after `goodReads` successful ones.
class FailingStream final : public platform::IStream {
public:
    FailingStream(std::string_view text, int goodReads)
        : inner_(std::vector<std::uint8_t>(text.begin(), text.end()))
        , goodReads_(goodReads)
    {
    }
    platform::HRESULT Read(void* buffer, platform::ULONG count, platform::ULONG* read) override
    {
        if (goodReads_-- <= 0) {
            return platform::STG_E_READFAULT;
        }
        return inner_.Read(buffer, count, read);
    }
    platform::HRESULT Seek(std::int64_t offset, platform::ULONG origin, std::uint64_t* position) override
    {
        return inner_.Seek(offset, origin, position);
    }
    platform::HRESULT Stat(platform::STATSTG* stat, platform::ULONG flags) override { return inner_.Stat(stat, flags); }

private:
    platform::MemoryStream inner_;
    int goodReads_;
};

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
        if (mode_ == Mode::FailingReads) {
            *stream = std::make_unique<FailingStream>(text_, goodReads_);
        } else {
            *stream = std::make_unique<platform::MemoryStream>(std::vector<std::uint8_t>(text_.begin(), text_.end()));
        }
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
