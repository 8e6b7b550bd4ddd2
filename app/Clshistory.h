// TViewHistory: the chart window's last 100 views, for "<" and ">". Entry 1
// is the oldest; the current index is 0 while the history is empty, and the
// top index is the last entry "forward" can reach.
#pragma once

class TViewHistory {
public:
    static constexpr int kSize = 100;

    struct Entry {
        double Ra = 0.0, Dec = 0.0;
        double Mjd = 0.0; // 0: taken in auto drive
        int Scale = 0;
    };

    void Clear() { index_ = top_ = 0; }

    // Records a view unless the current entry holds the same centre and
    // scale at the displayed moment (an entry taken in auto drive holds MJD 0,
    // so in auto drive every view is recorded). Recording after a step back
    // forgets the entries beyond; past 100 the oldest is dropped. True when
    // an entry was added.
    bool Record(const Entry& view, double displayedMjd);

    // Steps back or forward; false (nothing moved) at the ends. `left` is the
    // entry just left, the result is in Current().
    bool Back(Entry& left);
    bool Forward(Entry& left);

    const Entry& Current() const { return entries_[index_]; }
    int Index() const { return index_; }
    int Top() const { return top_; }
    bool CanBack() const { return index_ > 1; }
    bool CanForward() const { return index_ < top_; }

private:
    Entry entries_[kSize + 1]; // 1-based; entry 0 stays empty
    int index_ = 0, top_ = 0;
};
