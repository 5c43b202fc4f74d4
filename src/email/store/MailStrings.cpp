#include "MailStrings.h"

namespace email {

namespace {

MailStringLoader currentLoader = nullptr;

} // namespace

void SetMailStringLoader(MailStringLoader loader)
{
    currentLoader = loader;
}

const char16_t* LoadMailString(unsigned id, std::size_t maxLength)
{
    return currentLoader != nullptr ? currentLoader(id, maxLength) : nullptr;
}

} // namespace email
