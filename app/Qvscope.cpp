#include "app/Qvscope.h"

#include "controls/Framelabel.h"
#include "controls/Look.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QPointer>
#include <QTimer>
#include <cmath>
#include <cstdio>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kYes = 10001;
constexpr TColor kRed = RGBColor(255, 0, 0);

std::string DegreesText(double rad) {
    char b[32];
    std::snprintf(b, sizeof b, "%+.1f\xC2\xB0", rad * 180.0 / kPi);
    return b;
}

} // namespace

TfrmScope::TfrmScope(const std::string& folder, QWidget* parent)
    : QWidget(parent, Qt::Window), Folder(folder) {
    setWindowTitle("Telescope");
    setFixedSize(330, 262);
    SetWindowLook(this, 9, true);
    setStyleSheet("QLineEdit, QComboBox, QComboBox QAbstractItemView { background: black; "
                  "color: rgb(255,0,0); border: 1px solid rgb(128,0,0); "
                  "selection-background-color: rgb(128,0,0); selection-color: black; }"
                  "QLabel, QCheckBox { color: rgb(255,0,0); }"
                  "QCheckBox::indicator { border: 1px solid rgb(255,0,0); width: 10px; "
                  "height: 10px; }"
                  "QCheckBox::indicator:checked { background: rgb(255,0,0); }");

    auto label = [this](const char* text, int x, int y) {
        auto* l = new QLabel(QString::fromUtf8(text), this);
        l->move(x, y);
        l->adjustSize();
        return l;
    };
    auto button = [this](const char* text, int x, int y, int w) {
        auto* f = RedButton(this, text, QRect(x, y, w, 22), 9);
        f->SetPsE(true);
        return f;
    };

    label("Server", 10, 14);
    edtHost = new QLineEdit(this);
    edtHost->setGeometry(62, 10, 150, 22);
    label(":", 215, 14);
    edtPort = new QLineEdit(this);
    edtPort->setGeometry(224, 10, 50, 22);
    edtPort->setMaxLength(5);
    flbConnect = button("Connect", 10, 40, 96);
    flbDisconnect = button("Disconnect", 116, 40, 96);
    label("Telescope", 10, 76);
    cmbDevice = new QComboBox(this);
    cmbDevice->setGeometry(80, 72, 240, 22);
    labStatus = label("", 10, 102);
    labStatus->setFixedSize(310, 18);
    labTarget = label("", 10, 124);
    labTarget->setFixedSize(310, 18);
    flbSlew = button("Slew", 10, 150, 70);
    flbSync = button("Sync", 88, 150, 70);
    flbAbort = button("Abort", 166, 150, 70);
    flbPark = button("Park", 10, 180, 70);
    flbUnpark = button("Unpark", 88, 180, 70);
    flbClose = button("Close", 250, 230, 70);
    chkParty = new QCheckBox("Commander's GoTo slews this telescope", this);
    chkParty->setGeometry(10, 206, 310, 20);
    labMessage = label("", 10, 232);
    labMessage->setFixedSize(236, 28);
    labMessage->setWordWrap(true);
    labMessage->setFont(QFont("Arial", 8));

    auto click = [](TFrameLabel* f, std::function<void()> act) {
        f->OnMouseDown = [act](QWidget*, Qt::MouseButton b, Qt::KeyboardModifiers, int, int) {
            if (b == Qt::LeftButton) act();
        };
    };
    click(flbConnect, [this] { ConnectClick(); });
    click(flbDisconnect, [this] { DisconnectClick(); });
    click(flbSlew, [this] { SlewClick(); });
    click(flbSync, [this] { SyncClick(); });
    click(flbAbort, [this] { AbortClick(); });
    click(flbPark, [this] { ParkClick(); });
    click(flbUnpark, [this] { UnparkClick(); });
    click(flbClose, [this] { close(); });
    connect(cmbDevice, &QComboBox::currentTextChanged, this, [this](const QString& t) {
        if (filling_ || t.isEmpty()) return;
        Scope.Choose(t.toStdString());
        Settings.Device = t.toStdString();
        SaveSettings();
    });
    connect(chkParty, &QCheckBox::toggled, this, [this](bool on) {
        Settings.PartyGoto = on ? TScopeSettings::Follow : TScopeSettings::Ignore;
        SaveSettings();
    });

    markTimer_ = new QTimer(this);
    markTimer_->setSingleShot(true);
    connect(markTimer_, &QTimer::timeout, this, [this] {
        if (!markDue_) return;
        markDue_ = false;
        if (MountMoved) MountMoved();
    });

    // The connection's threads only post a call to this window; it runs
    // here, on the window's thread, as long as the window lives.
    TfrmScope* window = this;
    Scope.SetWake([window] {
        QMetaObject::invokeMethod(
            window, [window] { window->Drain(); }, Qt::QueuedConnection);
    });

    std::string why;
    if (!Settings.Load(Folder, why)) SettingsProblem = why;
    edtHost->setText(QString::fromStdString(Settings.Host));
    edtPort->setText(QString::number(Settings.Port));
    chkParty->blockSignals(true);
    chkParty->setChecked(Settings.PartyGoto == TScopeSettings::Follow);
    chkParty->blockSignals(false);
    if (!SettingsProblem.empty()) Say("Settings not used: " + SettingsProblem);
    ShowState();
}

TfrmScope::~TfrmScope() {
    // No call is posted after this; one already posted dies with the window.
    Scope.SetWake(nullptr);
}

void TfrmScope::Say(const std::string& text) {
    labMessage->setText(QString::fromStdString(text));
}

void TfrmScope::SaveSettings() {
    std::string why;
    if (!Settings.Save(Folder, why)) Say("Settings not saved: " + why);
}

void TfrmScope::ConnectTo(const std::string& host, int port, const std::string& device) {
    edtHost->setText(QString::fromStdString(host));
    edtPort->setText(QString::number(port));
    Settings.Host = host;
    Settings.Port = port;
    Settings.Device = device;
    SaveSettings();
    Say("");
    Scope.Connect(host, port, device);
    ShowState();
}

void TfrmScope::ConnectClick() {
    std::string host, device, why;
    int port = 0;
    const std::string text =
        edtHost->text().trimmed().toStdString() + ":" + edtPort->text().trimmed().toStdString();
    if (!TScopeSettings::ParseTarget(text, host, port, device, why)) {
        Say(why);
        return;
    }
    ConnectTo(host, port, Settings.Device);
}

void TfrmScope::DisconnectClick() {
    Scope.Disconnect();
}

bool TfrmScope::Ready(std::string& why) const {
    switch (Scope.GetState()) {
    case TScope::Tracking:
    case TScope::Slewing:
    case TScope::Stopped:
    case TScope::Parked:
    case TScope::Parking:
        return true;
    default:
        why = "No telescope is connected.";
        return false;
    }
}

bool TfrmScope::SlewTo(const std::string& name, double ra, double dec, double altitude) {
    std::string why;
    if (!Ready(why)) {
        Say(why);
        return false;
    }
    if (altitude < 0.0) {
        const std::string text = name + " is below the horizon (altitude " + DegreesText(altitude) +
                                 "): the telescope is not moved.";
        Say(text);
        if (Ask) Ask(2, text);
        return false;
    }
    if (Scope.GetState() == TScope::Parked) {
        Say("The telescope is parked: unpark it first.");
        return false;
    }
    Scope.Slew(ra, dec);
    Say("Slewing to " + name + ".");
    return true;
}

void TfrmScope::SlewClick() {
    std::string name;
    double ra = 0, dec = 0, alt = 0;
    if (!Target || !Target(name, ra, dec, alt)) {
        Say("Select an object on the chart first.");
        return;
    }
    SlewTo(name, ra, dec, alt);
}

void TfrmScope::SyncClick() {
    std::string name, why;
    double ra = 0, dec = 0, alt = 0;
    if (!Ready(why)) {
        Say(why);
        return;
    }
    if (!Target || !Target(name, ra, dec, alt)) {
        Say("Select an object on the chart first.");
        return;
    }
    Scope.Sync(ra, dec);
    Say("Synced on " + name + ".");
}

void TfrmScope::AbortClick() {
    Scope.Abort();
    Say("Stopped.");
}

void TfrmScope::ParkClick() {
    std::string why;
    if (!Ready(why)) {
        Say(why);
        return;
    }
    Scope.Park();
}

void TfrmScope::UnparkClick() {
    std::string why;
    if (!Ready(why)) {
        Say(why);
        return;
    }
    Scope.Unpark();
}

bool TfrmScope::CommanderGoto(const std::string& name, double ra, double dec, double altitude,
                              std::string& why) {
    if (!Ready(why)) return false;
    if (Settings.PartyGoto == TScopeSettings::Ask && Ask) {
        const bool yes = Ask(1, "The commander sent GoTo " + name +
                                    ". Let the commander's GoTo slew this telescope?") == kYes;
        Settings.PartyGoto = yes ? TScopeSettings::Follow : TScopeSettings::Ignore;
        chkParty->blockSignals(true);
        chkParty->setChecked(yes);
        chkParty->blockSignals(false);
        SaveSettings();
    }
    if (Settings.PartyGoto != TScopeSettings::Follow) {
        why = "the telescope does not follow the commander's GoTo";
        return false;
    }
    if (altitude < 0.0) {
        why = name + " is below the horizon";
        Say("Commander's GoTo: " + why + ": the telescope is not moved.");
        return false;
    }
    if (Scope.GetState() == TScope::Parked) {
        why = "the telescope is parked";
        return false;
    }
    Scope.Slew(ra, dec);
    Say("Commander's GoTo: slewing to " + name + ".");
    return true;
}

bool TfrmScope::MountPlace(double& ra, double& dec) const {
    return Scope.HasPosition(ra, dec);
}

std::string TfrmScope::DeviceName() const {
    return Scope.GetDevice();
}

void TfrmScope::FillDevices() {
    filling_ = true;
    const QString current = QString::fromStdString(Scope.GetDevice());
    cmbDevice->clear();
    for (const auto& d : Scope.GetDevices())
        cmbDevice->addItem(QString::fromStdString(d));
    const int at = cmbDevice->findText(current);
    if (at >= 0) cmbDevice->setCurrentIndex(at);
    filling_ = false;
}

void TfrmScope::ShowState() {
    const TScope::TState s = Scope.GetState();
    std::string text = std::string("Status: ") + TScope::StateText(s);
    const std::string reason = Scope.GetReason();
    if (!reason.empty()) text += " (" + reason + ")";
    labStatus->setText(QString::fromStdString(text));
    labStatus->setToolTip(QString::fromStdString(text));
    std::string name;
    double ra = 0, dec = 0, alt = 0;
    if (Target && Target(name, ra, dec, alt))
        labTarget->setText(QString::fromStdString("Object: " + name + "  Alt " + DegreesText(alt)));
    else
        labTarget->setText("Object: none selected");
}

void TfrmScope::Drain() {
    bool moved = false;
    for (const TScope::TEvent& e : Scope.Take()) {
        switch (e.Kind) {
        case TScope::TEvent::State:
            if (e.NewState == TScope::Lost && last_ != TScope::Lost) {
                moved = true;
                const std::string text = "The telescope connection was lost: " + e.Text + ".";
                Say(text);
                if (Ask) {
                    // Not from inside this call: the message window waits for
                    // the user, and the events go on meanwhile.
                    QPointer<TfrmScope> self(this);
                    QTimer::singleShot(0, this, [self, text] {
                        if (self && self->Ask) self->Ask(2, text);
                    });
                }
            }
            if (e.NewState == TScope::Offline) moved = true;
            last_ = e.NewState;
            break;
        case TScope::TEvent::Devices:
            FillDevices();
            break;
        case TScope::TEvent::Position:
            moved = true;
            break;
        case TScope::TEvent::Message:
            Say(e.Text);
            break;
        }
    }
    ShowState();
    if (moved) {
        markDue_ = true;
        if (!markTimer_->isActive()) markTimer_->start(kMarkMs);
    }
}

void TfrmScope::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        // Escape stops the mount first, whatever else it would do.
        AbortClick();
        e->accept();
        return;
    }
    QWidget::keyPressEvent(e);
}

void TfrmScope::showEvent(QShowEvent* e) {
    ShowState();
    QWidget::showEvent(e);
}
