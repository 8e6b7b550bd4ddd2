// TfrmQVPlan: the night planner. For the chart window's site and evening it
// shows the night's times, the list of what is worth observing in the dark
// window (filters kept in Planner.txt beside the settings, sortable
// columns), and the altitude graph of the chosen object, up to eight pinned
// ones and the Moon, with the twilight shaded and a cursor that follows the
// chart window's clock. The night and its list are worked out on a thread
// of their own: the window never waits for them.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Clsaltgraph.h"
#include "plan/Clsnight.h"
#include "plan/Clsdoublestars.h"
#include "plan/Clsplanner.h"
#include "plan/Clsplanworker.h"
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
    ~TfrmQVPlan() override;

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
        const TNameList* Names = nullptr; // names for the double stars
        std::shared_ptr<const TMinorList> Minor; // the comets and asteroids loaded, or null
        std::vector<TPlanner::TMarker> Markers;
    };
    void SetSky(const TSky& sky);

    // The folder of Planner.txt (the filters); empty: not kept.
    void SetFilterFolder(const std::string& folder);

    // A row chosen (Enter, double click, "Show"): as the find field chooses.
    std::function<void(const TPlanEntry& entry)> OnChoose;
    // "Clock": the chart window's clock to this moment (UT).
    std::function<void(double mjd)> OnSetClock;
    // "Add to list" (L): the row into the observing list.
    std::function<void(const TPlanEntry& entry)> OnAddToList;
    // "Horizon file": choose the current site's horizon profile.
    std::function<void()> OnChooseHorizon;

    TNight Night;
    TPlanner Planner;
    std::vector<int> Rows; // entries shown, in the table's order
    double LastBuildMs = 0.0;  // the night and the list, last time (worker's CPU)
    double LastGatherMs = 0.0; // the window's own share: the candidates copied
    // A request is out and its result not in yet.
    bool Computing() const { return requested_ != shown_; }
    int StaleDropped = 0; // results that came for a request no longer wanted
    int ResultsShown = 0;
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
    void AddRowToList(int row);
    std::string TimesText() const;

protected:
    bool eventFilter(QObject* o, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void Recompute();
    void TakeResult(const std::shared_ptr<TPlanWorker::TResult>& result);
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
    static constexpr int kKinds = 9;
    QCheckBox* chkKind[kKinds] = {};
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
    // The catalogue's double stars, found once.
    const TStar* doublesOf_ = nullptr;
    std::vector<TDoubleStars::TPair> doubles_;
    int requested_ = 0, shown_ = 0;
    std::unique_ptr<TPlanWorker> worker_; // last: stopped before the rest goes
};
