#include "app/main_form.h"

#include "reports/event_log.h"

namespace velt {

bool TMainForm::FormCloseQuery() {
    if (engine_.ExitRequested()) return true;
    views_.main.MinimizeToTray();
    return false;
}

void TMainForm::ExitAExecute() {
    engine_.SetExitRequested();
    views_.main.CloseWindow();
}

bool TMainForm::WMQueryEndSession() {
    engine_.SetExitRequested();
    return true;
}

void TMainForm::ClearLogSBClick() {
    engine_.EventLog().Clear();
    views_.main.ClearLog();
}

void TMainForm::SaveLogSBClick() {
    const auto path = views_.main.AskSaveLogPath(ProposedLogFileName(sys_.clock.Now()));
    if (!path) return;
    std::string error;
    if (!sys_.files.WriteAll(*path, LogFileText(engine_.EventLog().Lines()), error))
        views_.main.ShowError("Cannot create file \"" + *path + "\". " + error);
}

void TMainForm::ExSBClick() {
    const auto path = views_.main.AskExternalProgram();
    if (!path) return;
    engine_.Live().ExternalProgramName = *path;
    views_.main.ShowExternalProgram(LabelExternalProgram(*path));
}

}  // namespace velt
