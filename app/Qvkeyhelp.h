// TfrmKeyHelp: the chart of keyboard commands, shown with F1 from the chart window. It sits
// at the top-left corner of the screen's free area; Escape or F1 closes it.
#pragma once

#include <QWidget>
#include <string>
#include <vector>

class QLabel;
class TFrameLabel;

class TfrmKeyHelp : public QWidget {
public:
    explicit TfrmKeyHelp(QWidget* parent = nullptr);

    // The chart as built, for callers that want to look a key up: one row per line.
    struct Row {
        std::string key;               // function key of a heading row, "" for an entry
        std::string text;              // heading or entry description
        std::vector<std::string> keys; // captions of the key labels ("@U" etc. for arrows)
    };
    const std::vector<Row>& Rows() const { return rows_; }
    std::vector<TFrameLabel*> KeyLabels() const { return keyLabels_; }

protected:
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    void Build();
    TFrameLabel* KeyLabel(const std::string& caption, int x, int y);
    QLabel* Text(const std::string& text, int x, int y, bool heading);

    std::vector<Row> rows_;
    std::vector<TFrameLabel*> keyLabels_;
    QPoint dragOffset_;
};
