#include "MailSession.h"

namespace email {

MailSession& Mail()
{
    static MailSession session;
    return session;
}

bool FailMailStep(std::uint16_t step)
{
    MailSession& mail = Mail();
    if (mail.FailStep == 0) {
        mail.FailStep = step;
    }
    if (mail.LastResult == 0) {
        mail.LastResult = platform::E_FAIL;
    }
    return false;
}

bool CheckMailStep(HRESULT result, std::uint16_t step)
{
    Mail().LastResult = result;
    if (platform::Failed(result) || Mail().FailStep != 0) {
        return FailMailStep(step);
    }
    return true;
}

} // namespace email
