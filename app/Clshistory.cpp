#include "app/Clshistory.h"

bool TViewHistory::Record(const Entry& v, double displayedMjd) {
    if (index_ > 0) {
        const Entry& c = entries_[index_];
        if (c.Ra == v.Ra && c.Dec == v.Dec && c.Mjd == displayedMjd && c.Scale == v.Scale)
            return false;
    }
    if (index_ < kSize) {
        ++index_;
    } else {
        for (int i = 1; i < kSize; ++i)
            entries_[i] = entries_[i + 1];
    }
    top_ = index_;
    entries_[index_] = v;
    return true;
}

bool TViewHistory::Back(Entry& left) {
    if (index_ < 2) return false;
    left = entries_[index_];
    --index_;
    return true;
}

bool TViewHistory::Forward(Entry& left) {
    if (index_ >= top_) return false;
    left = entries_[index_];
    ++index_;
    return true;
}
