// TfrmQVOpen: the opening window and the application's main window. It owns
// the settings record and the list of observing sites, lets the user add,
// edit and delete sites, and hands the chosen site to the chart window.
#pragma once

#include "app/Clssysinfo.h"

#include <QDialog>
#include <functional>
#include <string>

class QLabel;
class TFlatScroll;
class TFrameLabel;
class TSelGrid;
class TfrmLocation;

class TfrmQVOpen : public QDialog {
public:
    // folder: the program folder, where the settings and party files live.
    explicit TfrmQVOpen(const std::string& folder, QWidget* parent = nullptr);
    ~TfrmQVOpen() override;

    TSysInfo SysInfo;  // the whole settings file
    TSite CurrentSite; // chosen last in this run (empty name until then)
    bool FirstStart = true;
    int CurrentRow = 0;
    std::string Folder;

    // Message window (button set, text) -> result code.
    std::function<int(int buttons, const std::string& text)> Ask;
    // Shows the site editor modally; the editor window itself.
    TfrmLocation* Editor = nullptr;
    std::function<void()> ShowEditor;
    // The first choice of a site: show the chart window.
    std::function<void()> ShowChart;
    // Ends the program after a fatal error (the application's quit by default).
    std::function<void()> Terminate;

    TSelGrid* grdLocation;
    TFlatScroll* flsLocation;
    TFrameLabel *flbAdd, *flbEdit, *flbDelete, *flbOk;
    QLabel* labRev;
    QLabel* imgTitle;

    // Steps 1 to 5 of showing: load the record, fill the list, select the
    // current row, make the folder "Option", couple the scroll bar.
    void Reload();
    void LoadRecord();
    // Writes the record. When that fails (a read-only folder, a full disk)
    // the user is told why, the change stays in memory, and it is written at
    // the next chance: the next save, the next showing, or closing. True
    // when the file holds the record.
    bool SaveRecord();
    bool Unsaved() const { return unsaved_; }
    void FillList();
    void flbAddMouseDown();
    void flbEditMouseDown();
    void flbDeleteMouseDown();
    void flbOkMouseDown();
    void Choose();

    // The error handler: report, log to "Err3.Log", end the program.
    void AppException(int no, const std::string& message);

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    std::string FilePath(const char* name) const;
    void CoupleScroll();
    void ScrollToList();
    bool RunEditor();
    // The site's horizon file into Horizons.txt, under its name (the settings
    // file has no room for it); a renamed site takes its file along.
    void KeepHorizon(const std::string& oldName, const std::string& newName,
                     const std::string& file);
    bool NameInUse(const std::string& name) const;
    bool unsaved_ = false;         // the record holds a change the file does not
    std::string shownLoadMessage_; // a damaged file is reported once, not at every showing
};
