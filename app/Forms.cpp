#include "app/Forms.h"

#include "app/Qvmes.h"

TfrmQVOpen* frmQVOpen = nullptr;
TfrmQVSKY* frmQVSKY = nullptr;
QWidget* frmSelObj = nullptr;
TfrmLocation* frmLocation = nullptr;
TfrmKeyHelp* frmKeyHelp = nullptr;
TfrmQVMes* frmQVMes = nullptr;
TfrmZorede* frmZorede = nullptr;
TfrmCommander* frmCommander = nullptr;
TfrmSetParty* frmSetParty = nullptr;
TfrmDir* frmDir = nullptr;
TfrmScope* frmScope = nullptr;
TfrmQVPlan* frmPlan = nullptr;

int QVMes(int buttons, const std::string& text) {
    if (frmQVMes) {
        frmQVMes->SetMes(buttons, text);
        frmQVMes->exec();
        return frmQVMes->GetResult();
    }
    // Before the message window exists (an error during start-up).
    TfrmQVMes mes;
    mes.SetMes(buttons, text);
    mes.exec();
    return mes.GetResult();
}
