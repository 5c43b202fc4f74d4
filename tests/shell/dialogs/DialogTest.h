#pragma once

// What the dialog tests share: a settings file of their own, fresh settings
// and print engine, and the fake printing library with four faces.

#include "AppSettings.h"
#include "DialogHost.h"
#include "FakePrinter.h"
#include "FontList.h"
#include "Module.h"
#include "PrintJob.h"
#include "TempRegistry.h"

#include <cstdint>
#include <vector>

namespace dialogtest {

class DialogTest : public platform::testing::TempRegistry {
protected:
    void SetUp() override
    {
        TempRegistry::SetUp();
        core::ResetAppSettings();
        printengine::ResetPrintEngine();
        printengine::testing::InstallFakePrinter();
        printengine::testing::FakeSetup().Fonts
            = { { u"Tahoma", 0 }, { u"DejaVu Sans", 0 }, { u"Symbol", 2 }, { u"Courier New", 0 } };
    }
    void TearDown() override
    {
        platform::SetDialogHost(nullptr);
        shell::FreeFontList();
        printengine::testing::RemoveFakePrinter();
        TempRegistry::TearDown();
    }

    // Runs a dialog on a script; gives the dialog as it ended.
    static platform::Dialog Run(unsigned templateId, platform::DialogProc procedure,
        std::vector<platform::DialogAction> actions, std::intptr_t* result = nullptr)
    {
        platform::ScriptedDialogHost host(std::move(actions));
        platform::SetDialogHost(&host);
        const std::intptr_t ended
            = platform::DialogBoxParamW(platform::ProgramModule(), templateId, nullptr, procedure, 0);
        platform::SetDialogHost(nullptr);
        if (result)
            *result = ended;
        return *host.LastDialog();
    }
};

} // namespace dialogtest
