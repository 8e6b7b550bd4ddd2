// TfrmSelObj: the borderless pop-up that lists the objects under a right
// click on the atlas. Releasing the mouse on a row chooses it, on the header
// or outside chooses nothing; the pop-up closes either way, and when it
// loses the keyboard.
#pragma once

#include <QWidget>
#include <functional>
#include <string>

class TSelGrid;

class TfrmSelObj : public QWidget {
public:
    explicit TfrmSelObj(QWidget* parent = nullptr);

    TSelGrid* grdSelObj;
    int Chosen = 0; // the chosen row, 0 none

    // Empties the list: four columns (name, magnitude text, kind, index).
    void Prepare();
    // Appends a row; tag is the sort key (magnitude x 100).
    void AddRow(const std::string& name, const std::string& mag, int kind, int index, int tag);
    int Rows() const;
    // The list's height for its rows, and the pop-up's size.
    QSize ListSize() const;
    // Kind and index of a row.
    int KindOf(int row) const;
    int IndexOf(int row) const;

    // After the pop-up closed.
    std::function<void()> OnClosed;

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;
};
