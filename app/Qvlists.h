// TfrmLists: the observing lists window. One list at a time: each object
// with its kind, magnitude, constellation, altitude now and best time
// tonight; entries are reordered, removed, given a note and marked
// observed; choosing a row (double click, Enter) centres the chart on the
// object. Lists are exchanged as CSV and printed as a PDF table.
#pragma once

#include "astro/Clslocation.h"
#include "obslog/Logtypes.h"

#include <QWidget>
#include <functional>
#include <string>

class QComboBox;
class QLabel;
class QTableWidget;
class TLogDb;

class TfrmLists : public QWidget {
public:
    explicit TfrmLists(QWidget* parent = nullptr);

    void SetDatabase(TLogDb* db, const std::string& whyOff);
    // The lists into the chooser, the chosen one into the table.
    void Refresh();
    std::int64_t CurrentList() const;
    void ChooseList(std::int64_t id);
    // Adds to the list shown (a list named "Observing list" is made when
    // there is none); the entry's id or 0 with the reason said.
    std::int64_t AddObject(const TLogObject& o);
    bool NewList(const std::string& name);
    void MoveRow(int row, int by);
    void RemoveRow(int row);
    void SetNote(int row, const std::string& note);
    void ToggleObserved(int row);
    void ChooseRow(int row);
    bool ImportCsv(const std::string& path, std::string& message);
    bool ExportCsv(const std::string& path, std::string& message);
    bool PrintPdf(const std::string& path, std::string& message);

    // Set by the program: the site and its zone (local minus UT, hours),
    // now (UT MJD), and what choosing a row does.
    std::function<void(TLocation& site, double& zoneHours)> Site;
    std::function<double()> Now;
    std::function<void(const TLogObject&)> OnChoose;
    // Asks for a file name (tests replace it); empty cancels. kind: "csv", "pdf".
    std::function<QString(bool save, const QString& kind)> ChooseFile;
    // Asks for a text (a list name, a note); false on cancel.
    std::function<bool(const QString& title, QString& text)> AskText;

    QComboBox* cmbList;
    QTableWidget* grdList;
    QLabel* labStatus;
    std::vector<TListEntry> Rows;
    // The table's texts of a row as shown and printed.
    std::vector<std::string> RowTexts(std::size_t row) const;

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    TLogDb* db_ = nullptr;
    std::string whyOff_;
    std::vector<std::vector<std::string>> texts_;
    void Say(const std::string& text);
};
