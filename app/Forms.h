// The program's windows, created once at start-up in a fixed order and
// living until the end; windows reach each other through these pointers.
#pragma once

#include <QWidget>
#include <functional>
#include <string>

class TfrmQVOpen;
class TfrmQVSKY;
class TfrmLocation;
class TfrmKeyHelp;
class TfrmQVMes;
class TfrmZorede;
class TfrmCommander;
class TfrmSetParty;
class TfrmDir;
class TfrmScope;
class TfrmQVPlan;

extern TfrmQVOpen* frmQVOpen;
extern TfrmQVSKY* frmQVSKY;
extern QWidget* frmSelObj;
extern TfrmLocation* frmLocation;
extern TfrmKeyHelp* frmKeyHelp;
extern TfrmQVMes* frmQVMes;
extern TfrmZorede* frmZorede;
extern TfrmCommander* frmCommander;
extern TfrmSetParty* frmSetParty;
extern TfrmDir* frmDir;
extern TfrmScope* frmScope;
extern TfrmQVPlan* frmPlan; // the night planner

// Shows the message window modally with a button set (1 Yes/No, 2 OK,
// 3 OK/Cancel) and returns its result (10001 Yes, 10002 No, 10003 OK,
// 10004 Cancel).
int QVMes(int buttons, const std::string& text);
