#include "app/Qvplan.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <numbers>

#include "astro/Clsmjd.h"
#include "catalog/Safefile.h"
#include "controls/Look.h"

namespace {
constexpr double kDeg = std::numbers::pi / 180.0;
const char* const kGroups[] = {"planet",  "moon", "minor",  "galaxy", "cluster",
                               "nebula",  "star", "double", "marker"};
const char* const kHeaders[TPlanner::ColumnCount] = {"Name", "Kind", "Mag",  "Size'", "Con",
                                                     "Best", "Alt",  "Rise", "Set",   "Moon°"};

std::string Fixed(double v, int decimals) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

QString EventCell(const TNight& night, const TSkyPass& p, const TNight::TEvent& e) {
    if (p.Up == TSkyPass::AlwaysUp) return "always up";
    if (p.Up == TSkyPass::NeverRises) return "never rises";
    return e.Found ? QString::fromStdString(night.LocalText(e.Mjd).substr(11)) : "-";
}
} // namespace

TfrmQVPlan::TfrmQVPlan(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle("Tonight");
    SetWindowLook(this, 9, true);
    setStyleSheet(
        "QWidget{background:black;color:#ff0000;font-family:Arial;font-size:9pt}"
        "QTableWidget{gridline-color:#400000;selection-background-color:#800000;"
        "selection-color:black}"
        "QHeaderView::section{background:black;color:#ff0000;border:1px solid #800000}"
        "QPushButton{border:1px solid #ff0000;padding:2px 8px}"
        "QSpinBox,QDoubleSpinBox,QLineEdit{border:1px solid #800000}"
        "QCheckBox::indicator{border:1px solid #ff0000;width:9px;height:9px}"
        "QCheckBox::indicator:checked{background:#ff0000}");
    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(6, 6, 6, 6);
    top->setSpacing(4);
    labTimes = new QLabel(this);
    labTimes->setWordWrap(true);
    labTimes->setTextInteractionFlags(Qt::TextSelectableByMouse);
    top->addWidget(labTimes);

    auto* filters = new QHBoxLayout;
    filters->addWidget(new QLabel("Alt \u2265", this));
    edtMinAlt = new QSpinBox(this);
    edtMinAlt->setRange(-90, 90);
    edtMinAlt->setSuffix("\u00b0");
    filters->addWidget(edtMinAlt);
    filters->addWidget(new QLabel("Mag \u2264", this));
    edtMag = new QDoubleSpinBox(this);
    edtMag->setRange(-30, 30);
    edtMag->setDecimals(1);
    filters->addWidget(edtMag);
    static_assert(std::size(kGroups) == kKinds);
    for (int k = 0; k < kKinds; ++k) {
        chkKind[k] = new QCheckBox(kGroups[k], this);
        filters->addWidget(chkKind[k]);
    }
    filters->addWidget(new QLabel("Con", this));
    edtCon = new QLineEdit(this);
    edtCon->setMaxLength(3);
    edtCon->setFixedWidth(40);
    edtCon->setPlaceholderText("all");
    filters->addWidget(edtCon);
    filters->addStretch(1);
    top->addLayout(filters);

    grdList = new QTableWidget(0, TPlanner::ColumnCount, this);
    QStringList headers;
    for (const char* h : kHeaders)
        headers << h;
    grdList->setHorizontalHeaderLabels(headers);
    grdList->verticalHeader()->hide();
    grdList->verticalHeader()->setDefaultSectionSize(18);
    grdList->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdList->setSelectionMode(QAbstractItemView::SingleSelection);
    grdList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdList->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grdList->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    top->addWidget(grdList, 3);

    imgGraph = new QLabel(this);
    imgGraph->setMinimumHeight(150);
    imgGraph->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    imgGraph->setMouseTracking(true);
    imgGraph->installEventFilter(this);
    top->addWidget(imgGraph, 2);

    auto* buttons = new QHBoxLayout;
    auto* show = new QPushButton("Show (Enter)", this);
    auto* clock = new QPushButton("Clock to best time (C)", this);
    auto* pin = new QPushButton("Pin to graph (P)", this);
    auto* add = new QPushButton("Add to list (L)", this);
    auto* horizon = new QPushButton("Horizon file...", this);
    chk24 = new QCheckBox("24 hours", this);
    buttons->addWidget(show);
    buttons->addWidget(clock);
    buttons->addWidget(pin);
    buttons->addWidget(add);
    buttons->addWidget(horizon);
    buttons->addWidget(chk24);
    buttons->addStretch(1);
    top->addLayout(buttons);
    connect(horizon, &QPushButton::clicked, this, [this] {
        if (OnChooseHorizon) OnChooseHorizon();
    });
    for (QPushButton* b : {show, clock, pin, add, horizon})
        b->setFocusPolicy(Qt::NoFocus);

    connect(show, &QPushButton::clicked, this, [this] { ChooseRow(CurrentRow()); });
    connect(clock, &QPushButton::clicked, this, [this] {
        const int r = CurrentRow();
        if (r < 0 || !OnSetClock) return;
        const TPlanEntry& e = Planner.Entries[Rows[r]];
        if (e.Pass.HaveBest) OnSetClock(e.Pass.BestMjd);
    });
    connect(pin, &QPushButton::clicked, this, [this] { PinRow(CurrentRow()); });
    connect(add, &QPushButton::clicked, this, [this] { AddRowToList(CurrentRow()); });
    connect(chk24, &QCheckBox::toggled, this, [this](bool on) {
        Whole24 = on;
        RedrawGraph();
    });
    connect(grdList, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { ChooseRow(row); });
    connect(grdList, &QTableWidget::currentCellChanged, this, [this](int row, int, int, int) {
        if (filling_ || row < 0 || row >= static_cast<int>(Rows.size())) return;
        Chosen = Rows[row];
        RedrawGraph();
    });
    connect(grdList->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        Ascending = column == SortColumn ? !Ascending : true;
        SortColumn = column;
        RefillList();
        SaveFilter();
    });
    auto changed = [this] {
        if (filling_) return;
        ReadFilterControls();
        RefillList();
        SaveFilter();
    };
    connect(edtMinAlt, &QSpinBox::valueChanged, this, changed);
    connect(edtMag, &QDoubleSpinBox::valueChanged, this, changed);
    for (QCheckBox* c : chkKind)
        connect(c, &QCheckBox::toggled, this, changed);
    connect(edtCon, &QLineEdit::textChanged, this, changed);
    ShowFilter();
    resize(1000, 680);
    // The result comes back on the worker's thread and is handed to the
    // window's; the worker stops before the window goes.
    worker_ = std::make_unique<TPlanWorker>([this](std::shared_ptr<TPlanWorker::TResult> r) {
        QMetaObject::invokeMethod(this, [this, r] { TakeResult(r); }, Qt::QueuedConnection);
    });
}

TfrmQVPlan::~TfrmQVPlan() {
    worker_.reset();
}

void TfrmQVPlan::SetFilterFolder(const std::string& folder) {
    folder_ = folder;
    if (!folder.empty()) {
        std::string text, why;
        if (TSafeFile::ReadAll(folder + "/" + TPlanFilter::kFileName, 1 << 16, text, why))
            Filter.FromText(text, SortColumn, Ascending);
    }
    ShowFilter();
}

void TfrmQVPlan::ShowFilter() {
    filling_ = true;
    edtMinAlt->setValue(static_cast<int>(std::lround(Filter.MinAltDeg)));
    edtMag->setValue(Filter.MagLimit);
    for (int k = 0; k < kKinds; ++k) {
        bool on = Filter.Groups.empty();
        for (const std::string& g : Filter.Groups)
            on |= g == kGroups[k];
        chkKind[k]->setChecked(on);
    }
    edtCon->setText(QString::fromStdString(Filter.Constellation));
    filling_ = false;
}

void TfrmQVPlan::ReadFilterControls() {
    Filter.MinAltDeg = edtMinAlt->value();
    Filter.MagLimit = edtMag->value();
    Filter.Groups.clear();
    bool all = true;
    for (int k = 0; k < kKinds; ++k) {
        if (chkKind[k]->isChecked())
            Filter.Groups.push_back(kGroups[k]);
        else
            all = false;
    }
    // Every kind ticked is no filter; none ticked shows nothing.
    if (all) Filter.Groups.clear();
    else if (Filter.Groups.empty()) Filter.Groups.push_back("none");
    Filter.Constellation = edtCon->text().trimmed().toStdString();
}

void TfrmQVPlan::SaveFilter() const {
    if (folder_.empty()) return;
    std::string why;
    TSafeFile::WriteAtomic(folder_ + "/" + TPlanFilter::kFileName,
                           Filter.ToText(SortColumn, Ascending), why);
}

void TfrmQVPlan::SetSky(const TSky& sky) {
    int y, m;
    double d;
    // The evening of the clock's date: before local noon it is last night's.
    TMjd::MJD2DATE(sky.ClockMjd - 0.5, sky.Zone, 0, y, m, d);
    const int day = static_cast<int>(std::floor(d));
    const bool same = requested_ > 0 && y == evening_[0] && m == evening_[1] && day == evening_[2] &&
                      sky.Site.Lat == sky_.Site.Lat && sky.Site.Lon == sky_.Site.Lon &&
                      sky.Zone == sky_.Zone && sky.Horizon.Path == sky_.Horizon.Path &&
                      sky.Horizon.Points().size() == sky_.Horizon.Points().size() &&
                      sky.Minor == sky_.Minor;
    sky_ = sky;
    if (!cursorFromMouse_) cursorMjd_ = sky.ClockMjd;
    if (same) {
        RedrawGraph();
        return;
    }
    evening_[0] = y;
    evening_[1] = m;
    evening_[2] = day;
    Recompute();
}

void TfrmQVPlan::Recompute() {
    QElapsedTimer t;
    t.start();
    if (sky_.Star != doublesOf_) {
        doublesOf_ = sky_.Star;
        doubles_ = sky_.Star ? TDoubleStars::Find(*sky_.Star) : std::vector<TDoubleStars::TPair>{};
    }
    TPlanWorker::TRequest r;
    r.Id = ++requested_;
    r.Site = sky_.Site;
    r.Horizon = sky_.Horizon;
    r.Year = evening_[0];
    r.Month = evening_[1];
    r.Day = evening_[2];
    r.Zone = sky_.Zone;
    r.Candidates = TPlanner::Candidates(sky_.Star, sky_.Nebula, sky_.Constellation, sky_.Markers,
                                        sky_.Names, doubles_);
    r.Minor = sky_.Minor;
    worker_->Submit(std::move(r));
    LastGatherMs = t.nsecsElapsed() / 1e6;
    if (!haveNight_) labTimes->setText("Working out the night...");
}

void TfrmQVPlan::TakeResult(const std::shared_ptr<TPlanWorker::TResult>& result) {
    // An answer to a question no longer asked: the newer one is on its way.
    if (result->Id != requested_) {
        ++StaleDropped;
        return;
    }
    shown_ = result->Id;
    ++ResultsShown;
    Night = std::move(result->Night);
    Planner = std::move(result->Planner);
    LastBuildMs = result->Ms;
    haveNight_ = true;
    Pinned.clear();
    Chosen = -1;
    labTimes->setText(QString::fromStdString(TimesText()));
    RefillList();
}

std::string TfrmQVPlan::TimesText() const {
    const TNight& n = Night;
    auto t = [&n](const TNight::TEvent& e) {
        return e.Found ? n.LocalText(e.Mjd).substr(11) : std::string("--:--");
    };
    char date[16];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", evening_[0], evening_[1], evening_[2]);
    std::string s = std::string("Night of ") + date + ":  Sunset " + t(n.Sunset) + "   Civil " +
                    t(n.CivilDusk) + "   Nautical " + t(n.NauticalDusk) + "   Astronomical " +
                    t(n.AstroDusk) + "   Darkest " + n.LocalText(n.Darkest).substr(11) +
                    "   Astronomical " + t(n.AstroDawn) + "   Nautical " + t(n.NauticalDawn) +
                    "   Civil " + t(n.CivilDawn) + "   Sunrise " + t(n.Sunrise) + "\n";
    s += "Moon: rise " + t(n.Moonrise) + ", set " + t(n.Moonset) + ", " + n.MoonPhase + " (" +
         Fixed(n.MoonIllumination * 100, 0) + "% lit), " + Fixed(n.MoonlessHours, 1) +
         " h of the dark window moonless.   Horizon: " +
         (n.Horizon.Flat() ? std::string("flat") : n.Horizon.Path);
    for (const std::string& note : n.Notes)
        s += "\n" + note;
    return s;
}

void TfrmQVPlan::RefillList() {
    const int keep = Chosen;
    Rows = Planner.Select(Filter, SortColumn, Ascending);
    filling_ = true;
    grdList->setRowCount(static_cast<int>(Rows.size()));
    int select = -1;
    for (int r = 0; r < static_cast<int>(Rows.size()); ++r) {
        const TPlanEntry& e = Planner.Entries[Rows[r]];
        const QString cells[TPlanner::ColumnCount] = {
            QString::fromStdString(e.Name),
            QString::fromStdString(e.KindText),
            e.HasMag ? QString::fromStdString(Fixed(e.Mag, 1)) : "",
            e.SizeArcmin > 0 ? QString::fromStdString(Fixed(e.SizeArcmin, 1)) : "",
            QString::fromStdString(e.Constellation),
            QString::fromStdString(Night.LocalText(e.Pass.BestMjd).substr(11)),
            QString::fromStdString(Fixed(e.Pass.BestAlt / kDeg, 1)),
            EventCell(Night, e.Pass, e.Pass.Rise),
            EventCell(Night, e.Pass, e.Pass.Set),
            e.Kind == 3 && e.Number == 9 ? "" : QString::fromStdString(Fixed(e.MoonDist, 0))};
        for (int c = 0; c < TPlanner::ColumnCount; ++c) {
            auto* item = grdList->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                grdList->setItem(r, c, item);
            }
            item->setText(cells[c]);
            item->setTextAlignment(c >= 2 && c != 4 ? Qt::AlignRight | Qt::AlignVCenter
                                                    : Qt::AlignLeft | Qt::AlignVCenter);
        }
        if (Rows[r] == keep) select = r;
    }
    if (select < 0 && !Rows.empty()) select = 0;
    if (select >= 0) grdList->setCurrentCell(select, 0);
    Chosen = select >= 0 ? Rows[select] : -1;
    filling_ = false;
    RedrawGraph();
}

int TfrmQVPlan::CurrentRow() const {
    const int r = grdList->currentRow();
    return r >= 0 && r < static_cast<int>(Rows.size()) ? r : -1;
}

void TfrmQVPlan::ChooseRow(int row) {
    if (row < 0 || row >= static_cast<int>(Rows.size())) return;
    if (OnChoose) OnChoose(Planner.Entries[Rows[row]]);
}

void TfrmQVPlan::AddRowToList(int row) {
    if (row < 0 || row >= static_cast<int>(Rows.size())) return;
    if (OnAddToList) OnAddToList(Planner.Entries[Rows[row]]);
}

void TfrmQVPlan::PinRow(int row) {
    if (row < 0 || row >= static_cast<int>(Rows.size())) return;
    const int e = Rows[row];
    for (auto it = Pinned.begin(); it != Pinned.end(); ++it)
        if (*it == e) {
            Pinned.erase(it);
            RedrawGraph();
            return;
        }
    if (Pinned.size() >= 8) Pinned.erase(Pinned.begin());
    Pinned.push_back(e);
    RedrawGraph();
}

void TfrmQVPlan::RedrawGraph() {
    if (!haveNight_ || !imgGraph) return;
    const qreal dpr = imgGraph->devicePixelRatioF();
    const int w = static_cast<int>(imgGraph->width() * dpr), h = static_cast<int>(imgGraph->height() * dpr);
    std::vector<TAltGraph::TCurve> curves;
    auto curveOf = [this](int entry) {
        const TPlanEntry& e = Planner.Entries[entry];
        if (e.Kind == 3 && e.Number == 9) {
            TAltGraph::TCurve c = TAltGraph::Moon(Night);
            c.HasTransit = e.Pass.Transit.Found;
            c.Transit = e.Pass.Transit.Mjd;
            return c;
        }
        double ra, dec;
        TMjd::Epoch(e.Ra, e.Dec, TMjd::J2000, Night.Darkest, 0.0, 0.0, ra, dec);
        return TAltGraph::Fixed(Night, e.Name, ra, dec);
    };
    if (Chosen >= 0) curves.push_back(curveOf(Chosen));
    for (int p : Pinned)
        if (p != Chosen) curves.push_back(curveOf(p));
    graph_.Whole24 = Whole24;
    graph_.Draw(graphDib_, w, h, Night, curves, true, cursorMjd_);
    graphImage_ = QImage(graphDib_.GetBits(), graphDib_.GetWidth(), graphDib_.GetHeight(),
                         graphDib_.GetStride(), QImage::Format_Indexed8);
    QList<QRgb> table(256, qRgb(0, 0, 0));
    for (int i = 0; i < 256; ++i) {
        const RGBQUAD& q = graphDib_.GetColTbl()[i];
        table[i] = qRgb(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }
    graphImage_.setColorTable(table);
    graphImage_.setDevicePixelRatio(dpr);
    imgGraph->setPixmap(QPixmap::fromImage(graphImage_));
}

bool TfrmQVPlan::eventFilter(QObject* o, QEvent* e) {
    if (o == imgGraph && haveNight_) {
        if (e->type() == QEvent::MouseMove || e->type() == QEvent::MouseButtonPress) {
            const auto* me = static_cast<QMouseEvent*>(e);
            cursorFromMouse_ = true;
            cursorMjd_ = graph_.TimeAt(static_cast<int>(me->position().x() * imgGraph->devicePixelRatioF()));
            RedrawGraph();
        } else if (e->type() == QEvent::Leave) {
            cursorFromMouse_ = false;
            cursorMjd_ = sky_.ClockMjd;
            RedrawGraph();
        }
    }
    return QWidget::eventFilter(o, e);
}

void TfrmQVPlan::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        ChooseRow(CurrentRow());
        return;
    case Qt::Key_P:
        PinRow(CurrentRow());
        return;
    case Qt::Key_L:
        AddRowToList(CurrentRow());
        return;
    case Qt::Key_C: {
        const int r = CurrentRow();
        if (r >= 0 && OnSetClock && Planner.Entries[Rows[r]].Pass.HaveBest)
            OnSetClock(Planner.Entries[Rows[r]].Pass.BestMjd);
        return;
    }
    case Qt::Key_Escape:
        hide();
        return;
    default:
        QWidget::keyPressEvent(e);
    }
}

void TfrmQVPlan::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    RedrawGraph();
}
