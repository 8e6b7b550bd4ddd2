// TFindField: the chart window's find field. A line to type a name into and,
// under it, the best suggestions with their kind and magnitude; Up and Down
// move through them, Enter or a click chooses one, Escape closes the field.
// A text that matches nothing says so inside the line. The field does not
// search itself: the window hands it a search and takes the choice.
#pragma once

#include "catalog/Clsfind.h"

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;

class TFindField : public QWidget {
public:
    static constexpr int kMaxRows = 12;
    static constexpr int kEditHeight = 22;
    static constexpr int kRowHeight = 16;

    explicit TFindField(QWidget* parent = nullptr);

    // The suggestions for a text, best first.
    std::function<std::vector<TFindIndex::THit>(const std::string& text)> Search;
    // An object was chosen (the field closes first).
    std::function<void(const TFindIndex::THit& hit)> OnChoose;
    // The field was closed without a choice (Escape).
    std::function<void()> OnCancel;

    // Shows the field with the keyboard in it; the last text stays, selected,
    // so typing replaces it and Enter goes there again.
    void Open();
    void Close();

    // What is typed, the suggestions and the one marked (-1 none).
    QLineEdit* Edit() const { return edit_; }
    const std::vector<TFindIndex::THit>& Hits() const { return hits_; }
    int Current() const { return current_; }
    bool NoMatch() const;
    // Row under a point of the field, -1 none.
    int RowAt(QPoint p) const;
    // The magnitude column of a suggestion ("0.45", "" without one).
    static std::string MagText(const TFindIndex::THit& hit);

    void Choose(int row);
    void MoveCurrent(int step);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void Refresh();
    void FitHeight();

    QLineEdit* edit_;
    QLabel* status_;
    std::vector<TFindIndex::THit> hits_;
    int current_ = -1;
};
