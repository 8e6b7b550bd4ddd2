// TfrmQVSKY: the chart window. For now it shows the chosen site and the
// moment, with the planisphere when the renderer is there; its full state,
// views and redraw cycle come with the chart window itself.
#pragma once

#include <QImage>
#include <QWidget>
#include <string>

class TfrmQVSKY : public QWidget {
public:
    explicit TfrmQVSKY(const std::string& folder, QWidget* parent = nullptr);

    // Takes the opening window's current site and redraws.
    void TakeSite();
    // "Setting": the opening window modally, then the site it leaves current.
    void Setting();

protected:
    void showEvent(QShowEvent* e) override;
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void Redraw();
    std::string folder_;
    QImage hayami_;  // the planisphere as last drawn
};
