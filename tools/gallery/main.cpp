// Shows every custom control, the message window and the key-help window in
// one black window. With "--shot <file.png>" it saves a picture of the window
// and quits instead of waiting for the user.
#include "app/Qvkeyhelp.h"
#include "app/Qvmes.h"
#include "controls/Calclock.h"
#include "controls/Flatscroll.h"
#include "controls/Focusarrow.h"
#include "controls/Focuscontrol.h"
#include "controls/Framelabel.h"
#include "controls/Keyinp.h"
#include "controls/Selgrid.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>
#include <cstdio>
#include <cstring>

namespace {

constexpr TColor kRed = RGBColor(255, 0, 0);

QLabel* Caption(QWidget* parent, const char* text, int x, int y) {
    auto* l = new QLabel(text, parent);
    l->setStyleSheet("color: #c00000; font-family: Arial; font-size: 8pt");
    l->move(x, y);
    l->adjustSize();
    return l;
}

TFrameLabel* Button(QWidget* parent, const char* text, int x, int y, int w = 60, int h = 22) {
    auto* b = new TFrameLabel(parent);
    b->SetCap(text);
    b->SetCF(kRed);
    b->SetFontColor(kRed);
    b->SetAlignment(Qt::AlignHCenter);
    b->SetPsE(true);
    b->setGeometry(x, y, w, h);
    return b;
}

struct Star {
    const char* name;
    const char* mag;
    const char* cons;
};
const Star kStars[] = {
    {"Sirius", "-1.46", "CMa"},   {"Canopus", "-0.74", "Car"},  {"Arcturus", "-0.05", "Boo"},
    {"Vega", "0.03", "Lyr"},      {"Capella", "0.08", "Aur"},   {"Rigel", "0.13", "Ori"},
    {"Procyon", "0.34", "CMi"},   {"Achernar", "0.46", "Eri"},  {"Betelgeuse", "0.50", "Ori"},
    {"Hadar", "0.61", "Cen"},     {"Altair", "0.76", "Aql"},    {"Acrux", "0.76", "Cru"},
    {"Aldebaran", "0.86", "Tau"}, {"Antares", "0.96", "Sco"},   {"Spica", "0.97", "Vir"},
    {"Pollux", "1.14", "Gem"},    {"Fomalhaut", "1.16", "PsA"}, {"Deneb", "1.25", "Cyg"},
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const char* shot = nullptr;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--shot") == 0) shot = argv[i + 1];

    QWidget win;
    win.setWindowTitle("Quenlira III - controls");
    win.setStyleSheet("QWidget#gallery { background: black; }");
    win.setObjectName("gallery");
    win.setAutoFillBackground(true);
    QPalette pal = win.palette();
    pal.setColor(QPalette::Window, Qt::black);
    win.setPalette(pal);
    win.resize(900, 640);

    auto* title = Button(&win, "Quenlira III  -  Control Gallery", 0, 0, 900, 22);
    title->SetPsE(false);

    // Calendar clock, focused so that its marks show.
    Caption(&win, "TCalClock", 10, 30);
    auto* clk = new TCalClock(&win);
    clk->move(10, 46);
    clk->SetYear(2001), clk->SetMonth(5), clk->SetDay(9), clk->SetHour(21), clk->SetMinute(30);
    auto* clkText = Caption(&win, "2001/05/09 21:30   ", 10, 92);
    clk->OnChange = [&](QWidget*) {
        clkText->setText(QString::fromStdString(clk->GetDate() + " " + clk->GetTime()));
    };

    // Key inputs as the navigation and site windows use them.
    Caption(&win, "TKeyInp", 300, 30);
    struct Field {
        const char* text;
        int len, dec;
        bool minus, plus;
    };
    const Field fields[] = {{"+05.0", 5, 1, true, true},
                            {"07", 2, 0, false, false},
                            {"+135", 4, 0, true, true},
                            {"-35", 4, 0, true, true}};
    for (int i = 0; i < 4; ++i) {
        auto* k = new TKeyInp(&win);
        k->SetKeta(fields[i].len), k->SetSho(fields[i].dec);
        k->SetMn(fields[i].minus), k->SetPs(fields[i].plus);
        k->SetMin(-180), k->SetMax(180), k->SetZ(true);
        k->SetTx(fields[i].text);
        k->SetFontColor(kRed);
        k->setGeometry(300 + i * 70, 50, 60, 20);
    }

    // Frame labels: normal, held down, locked, arrow captions.
    Caption(&win, "TFrameLabel", 300, 80);
    Button(&win, "OK", 300, 98);
    auto* held = Button(&win, "Pressed", 366, 98);
    auto* locked = Button(&win, "Locked", 432, 98);
    locked->SetLK(true);
    const char* arrows[] = {"@L", "@U", "@D", "@R"};
    for (int i = 0; i < 4; ++i)
        Button(&win, arrows[i], 500 + i * 26, 98, 22, 22);
    auto* plain = Button(&win, "White frame", 610, 98, 90);
    plain->SetCF(RGBColor(255, 255, 255));
    plain->SetFontColor(RGBColor(255, 255, 255));

    // Focus arrows in all eight directions, and the invisible focus holder.
    Caption(&win, "TFocusArrow 1..8", 720, 30);
    for (int d = 1; d <= 8; ++d) {
        auto* a = new TFocusArrow(&win);
        a->setGeometry(720 + (d - 1) % 4 * 22, 50 + (d - 1) / 4 * 22, 15, 15);
        a->SetFCol(kRed);
        a->SetFBCol(d % 2 ? kRed : RGBColor(128, 0, 0));
        a->SetDir(d);
    }
    auto* fcs = new TFocusControl(&win);
    fcs->setGeometry(720, 100, 10, 10);
    Caption(&win, "(TFocusControl: invisible)", 720, 104);

    // Selection grid with a check-mark column, sorted by magnitude, and its scroll bar.
    Caption(&win, "TSelGrid + TFlatScroll", 10, 134);
    auto* grd = new TSelGrid(&win);
    grd->setGeometry(10, 150, 262, 243);
    grd->SetMaxCol(4);
    const int widths[] = {0, 22, 110, 60, 50};
    const char* heads[] = {"", "*", "Name", "Mag", "Con"};
    for (int c = 0; c <= 4; ++c) {
        grd->SetColWidth(c, widths[c]);
        grd->SetTextA(0, c, heads[c]);
    }
    grd->SetColMode(1, 2);
    grd->SetAlign(-1, 1, 2);
    grd->SetAlign(-1, 3, 1);
    const int n = int(sizeof kStars / sizeof kStars[0]);
    grd->SetMaxRow(n);
    for (int r = 1; r <= n; ++r) {
        grd->SetTextA(r, 2, kStars[r - 1].name);
        grd->SetTextA(r, 3, kStars[r - 1].mag);
        grd->SetTextA(r, 4, kStars[r - 1].cons);
        grd->SetTag(r, r);
    }
    grd->SetTextA(2, 1, "*");
    grd->SetTextA(6, 1, "*");
    grd->RowSort(2);
    grd->SetSelRow(4);
    auto* fls = new TFlatScroll(&win);
    fls->setGeometry(272, 150, 16, 243);
    fls->SetMin(1);
    fls->SetMax(n);
    fls->SetPS(grd->GetPs());
    fls->SetValue(grd->GetDspTop());
    fls->OnChange = [&](QWidget*) { grd->SetDspTop(fls->GetValue()); };
    grd->OnChange = [&](QWidget*) { fls->SetValue(grd->GetDspTop()); };

    // The message window in its three button sets, and the key chart.
    Caption(&win, "TfrmQVMes", 310, 134);
    TfrmQVMes* mes[3];
    const char* texts[] = {"Delete Ok?", "Only AutoDrive Mode([NOW]Button)", "Can not add"};
    for (int i = 0; i < 3; ++i) {
        mes[i] = new TfrmQVMes(&win);
        mes[i]->setWindowFlags(Qt::Widget);
        mes[i]->SetMes(i + 1, texts[i]);
    }
    Caption(&win, "TfrmKeyHelp", 310, 330);
    auto* help = new TfrmKeyHelp(&win);
    help->setWindowFlags(Qt::Widget);

    win.show();
    for (auto* m : mes)
        m->show();
    help->show();
    // Their show handlers centre them on the screen; put them in the gallery.
    int y = 150;
    for (auto* m : mes) {
        m->move(310, y);
        y += m->height() + 8;
    }
    help->move(310, 346);
    win.resize(std::max(900, help->x() + help->width() + 10),
               std::max(640, help->y() + help->height() + 10));
    title->resize(win.width(), 22);

    clk->setFocus();
    // Hold the mouse on one button so that its pressed colours show.
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(held, &press);

    if (shot) {
        QTimer::singleShot(300, [&] {
            const bool ok = win.grab().save(shot);
            std::fprintf(ok ? stdout : stderr, "%s %s\n", ok ? "saved" : "could not save", shot);
            app.exit(ok ? 0 : 1);
        });
    }
    return app.exec();
}
