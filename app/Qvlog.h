// TfrmLog: the observing log window. Browses the entries (newest last),
// searches them as the user types, edits and removes them, and exchanges
// the log with other programs as OAL 2.1 XML. Works on the database it is
// given; without one it says why the log is off.
#pragma once

#include "obslog/Logtypes.h"

#include <QWidget>
#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class QTableWidget;
class TLogDb;
class TfrmLogEntry;

class TfrmLog : public QWidget {
public:
    explicit TfrmLog(QWidget* parent = nullptr);

    // db null: the log is off, for the reason given.
    void SetDatabase(TLogDb* db, const std::string& whyOff);
    void Refresh();
    // The entry dialog for a new entry prefilled with o; saved on OK. The
    // id of the new entry, or 0.
    std::int64_t NewEntry(const TObservation& o);
    void EditRow(int row);
    void RemoveRow(int row);
    bool ImportOal(const std::string& path, std::string& message);
    bool ExportOal(const std::string& path, std::string& message);

    QLineEdit* edtSearch;
    QTableWidget* grdLog;
    QLabel* labStatus;
    TfrmLogEntry* frmEntry;
    // File choosers (tests replace them): an empty name cancels.
    std::function<QString(bool save)> ChooseFile;
    std::vector<TObservation> Rows; // the entries shown

private:
    TLogDb* db_ = nullptr;
    std::string whyOff_;
    void Say(const std::string& text);
};
