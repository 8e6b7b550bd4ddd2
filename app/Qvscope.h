// TfrmScope: the telescope window. Connects to an INDI server, lets the user
// pick the telescope it offers, shows what the mount is doing, and slews,
// syncs, stops and parks it for the chart window's selected object.
//
// All network work happens in TScope's threads; this window only queues
// commands and, woken through a queued call, reads the events they produced.
#pragma once

#include "scope/Clsscope.h"
#include "scope/Clsscopeset.h"

#include <QWidget>
#include <functional>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTimer;
class TFrameLabel;

class TfrmScope : public QWidget {
public:
    // folder: where the settings side file lives (beside Sysinfo.dat).
    explicit TfrmScope(const std::string& folder, QWidget* parent = nullptr);
    ~TfrmScope() override;

    // The chart window's selected object: its name, its place of date (the
    // one the chart shows, topocentric for the Moon) and its altitude, all
    // radians; false when nothing that can be pointed at is selected.
    std::function<bool(std::string& name, double& ra, double& dec, double& altitude)> Target;
    // Questions and notices (the program's message window): buttons -> result.
    std::function<int(int buttons, const std::string& text)> Ask;
    // The mount's place changed or vanished; called at most every kMarkMs.
    std::function<void()> MountMoved;
    static constexpr int kMarkMs = 250;

    // Connects with the address given (the --telescope argument, or the
    // fields); remembered in the settings file.
    void ConnectTo(const std::string& host, int port, const std::string& device);
    // The reported place of date while a telescope is connected.
    bool MountPlace(double& ra, double& dec) const;
    std::string DeviceName() const;

    // The buttons.
    void ConnectClick();
    void DisconnectClick();
    void SlewClick();
    void SyncClick();
    void AbortClick();
    void ParkClick();
    void UnparkClick();
    // Slew to a place of date; refused with a message below the horizon.
    bool SlewTo(const std::string& name, double ra, double dec, double altitude);

    // A star-party receiver got the commander's GoTo: slews when the user
    // lets the commander do so (asked the first time). False with the reason
    // when the mount was not moved.
    bool CommanderGoto(const std::string& name, double ra, double dec, double altitude,
                       std::string& why);

    // Takes the events the connection queued (normally through the queued
    // call its threads make).
    void Drain();

    TScope Scope;
    TScopeSettings Settings;
    std::string Folder;
    std::string SettingsProblem; // why the settings file was not used

    QLineEdit *edtHost, *edtPort;
    QComboBox* cmbDevice;
    QLabel *labStatus, *labTarget, *labMessage;
    TFrameLabel *flbConnect, *flbDisconnect, *flbSlew, *flbSync, *flbAbort, *flbPark, *flbUnpark,
        *flbClose;
    QCheckBox* chkParty;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void SaveSettings();
    void ShowState();
    void Say(const std::string& text);
    void FillDevices();
    bool Ready(std::string& why) const;

    QTimer* markTimer_;
    bool markDue_ = false;
    bool filling_ = false;
    TScope::TState last_ = TScope::Offline;
};
