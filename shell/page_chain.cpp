#include "shell/page_chain.h"

#include "pages/pages.h"
#include "shell/backdrop_window.h"
#include "shell/install_log.h"
#include "shell/product_identity.h"
#include "shell/stage.h"
#include "system/readme_launch.h"
#include "system/registry_records.h"

namespace {

struct PageStep {
    unsigned int stage;
    int templateId;
    DLGPROC pageProc;
};

const PageStep PageSteps[] = {
    {StageAgreement, AgreementTemplate, AgreementPageProc},
    {StageLocation, LocationTemplate, LocationPageProc},
    {StageInstalling, InstallingTemplate, InstallingPageProc},
    {StageGroup, GroupTemplate, GroupPageProc},
};

void RunFinishSequence(HWND backdrop) {
    WriteRegistryRecords(backdrop);
    LogLine("%s was successfully Installed.", ProductName);
    SetStage(StageReadMe);
    char text[1024];
    wsprintfA(text,
              "%s was successfully Installed.\n\nWould you like to view the Read Me file now?",
              ProductName);
    if (MessageBoxA(backdrop, text, InstallerName, MB_ICONQUESTION | MB_YESNO) == IDYES)
        LaunchReadMe(backdrop);
    SetStage(StageFinished);
    wsprintfA(text,
              "Before you begin exploring, I would like to\r\nThank You for taking the time to "
              "evaluate my\r\nproduct %s. If you have any questions you\r\ncan email me at %s!",
              ProductName, SupportAddress);
    MessageBoxA(backdrop, text, InstallerName, MB_ICONINFORMATION);
}

}  // namespace

void RunPageChain(HWND backdrop) {
    for (const PageStep& step : PageSteps) {
        SetStage(step.stage);
        INT_PTR end = DialogBoxParamA(InstallerInstance, MAKEINTRESOURCEA(step.templateId),
                                      backdrop, step.pageProc, 0);
        if (end != 1) {
            DestroyWindow(backdrop);
            return;
        }
    }
    RunFinishSequence(backdrop);
    DestroyWindow(backdrop);
}
