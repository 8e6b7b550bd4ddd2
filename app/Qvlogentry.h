// TfrmLogEntry: one entry of the observing log, new or to be changed: the
// moment (UT, with the local time beside it), the object, the observer,
// the telescope, eyepiece and filter from the user's equipment list, the
// magnification, seeing and transparency, limiting magnitude, sky quality
// and notes. "Equipment..." adds to the equipment list.
#pragma once

#include "obslog/Logtypes.h"

#include <QDialog>

class QComboBox;
class QDateTimeEdit;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class TLogDb;

class TfrmLogEntry : public QDialog {
public:
    explicit TfrmLogEntry(QWidget* parent = nullptr);

    // Fills the form from o and the lists of db; true with o changed when
    // the user pressed OK (nothing is written here).
    bool Edit(TLogDb& db, TObservation& o);
    // The form as it stands, into o (what OK takes); false with the reason.
    bool Take(TObservation& o, std::string& why);
    void Fill(TLogDb& db, const TObservation& o);

    QDateTimeEdit* edtUt;
    QLabel* labLocal;
    QLineEdit *edtObject, *edtFaintest, *edtSky;
    QComboBox *cmbObserver, *cmbScope, *cmbEyepiece, *cmbFilter, *cmbSeeing, *cmbTransparency;
    QDoubleSpinBox* edtMag;
    QPlainTextEdit* memNotes;

private:
    void FillEquipment(std::int64_t scope, std::int64_t eyepiece, std::int64_t filter);
    void ShowLocal();
    void SuggestMagnification();
    void AddEquipment();
    TLogDb* db_ = nullptr;
    TLogData known_;
    int offset_ = 0;
};
