// TfrmQVPlan: the night planner. For the chart window's site and evening it
// shows the night's times, the list of what is worth observing in the dark
// window (filters kept in Planner.txt beside the settings, sortable
// columns), and the altitude graph of the chosen object, up to eight pinned
// ones and the Moon, with the twilight shaded and a cursor that follows the
// chart window's clock.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "app/Clsaltgraph.h"
#include "plan/Clsnight.h"
#include "plan/Clsplanner.h"
#include "render/Clsdib.h"

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTableWidget;

class TfrmQVPlan : public QWidget {
    Q_OBJECT
public:
    explicit TfrmQVPlan(QWidget* parent = nullptr);

    // What the chart window shows: its site, horizon, clock (UT) and time
    // difference, and the catalogues (any may be null). The night is worked
    // out again only when the evening, the site or the horizon changed;
    // otherwise the cursor moves.
    struct TSky {
        TLocation Site;
        THorizon Horizon;
        double Zone = 0.0; // hours, summer time included
        double ClockMjd = 0.0;
        const TStar* Star = nullptr;
        const TNebula* Nebula = nullptr;
        const TConstellation* Constellation = nullptr;
        std::vector<TPlanner::TMarker> Markers;
    };
    void SetSky(const TSky& sky);

    // The folder of Planner.txt (the filters); empty: not kept.
    void SetFilterFolder(const std::string& folder);

    // A row chosen (Enter, double click, "Show"): as the find field chooses.
    std::function<void(const TPlanEntry& entry)> OnChoose;
    // "Clock": the chart window's clock to this moment (UT).
    std::function<void(double mjd)> OnSetClock;
    // "Horizon file": choose the current site's horizon profile.
    std::function<void()> OnChooseHorizon;

    TNight Night;
    TPlanner Planner;
    std::vector<int> Rows; // entries shown, in the table's order
    double LastBuildMs = 0.0; // the night and the list, last time
    int Chosen = -1;          // entry of the graph's main curve
    std::vector<int> Pinned;  // entries drawn beside it (at most 8)
    TPlanFilter Filter;
    int SortColumn = TPlanner::Best;
    bool Ascending = true;
    bool Whole24 = false;

    void RefillList();
    void RedrawGraph();
    void ChooseRow(int row);
    void PinRow(int row);
    std::string TimesText() const;

protected:
    bool eventFilter(QObject* o, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void Recompute();
    void ReadFilterControls();
    void ShowFilter(); // the filter into the controls
    void SaveFilter() const;
    int CurrentRow() const;

    TSky sky_;
    int evening_[3] = {0, 0, 0};
    bool haveNight_ = false;
    std::string folder_;
    QLabel* labTimes = nullptr;
    QSpinBox* edtMinAlt = nullptr;
    QDoubleSpinBox* edtMag = nullptr;
    QCheckBox* chkKind[7] = {};
    QCheckBox* chk24 = nullptr;
    QLineEdit* edtCon = nullptr;
    QTableWidget* grdList = nullptr;
    QLabel* imgGraph = nullptr;
    TDIB graphDib_;
    TAltGraph graph_;
    QImage graphImage_;
    bool cursorFromMouse_ = false;
    double cursorMjd_ = 0.0;
    bool filling_ = false;
};
