// TfrmQVSKY: the chart window. For now it draws the planisphere and the star
// atlas for the chosen site at the current time, with the site beneath; its
// full state, views and redraw cycle come with the chart window itself.
#pragma once

#include <QImage>
#include <QWidget>
#include <memory>
#include <string>

class TAtlas;
class THayami;
class TNebula;
class TStar;
struct TBodySet;

class TfrmQVSKY : public QWidget {
public:
    explicit TfrmQVSKY(const std::string& folder, QWidget* parent = nullptr);
    ~TfrmQVSKY() override;

    // Takes the opening window's current site and redraws.
    void TakeSite();
    // "Setting": the opening window modally, then the site it leaves current.
    void Setting();

    static constexpr int kHayamiSize = 280;
    static constexpr int kAtlasLeft = 281;

protected:
    void showEvent(QShowEvent* e) override;
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void Redraw();
    std::string folder_;
    std::unique_ptr<TStar> star_;
    std::unique_ptr<TNebula> nebula_;
    std::unique_ptr<TBodySet> bodies_;
    std::unique_ptr<THayami> hayami_;
    std::unique_ptr<TAtlas> atlas_;
    QImage hayamiImage_, atlasImage_;
    std::string problem_; // why a chart is missing (a catalogue that did not load)
};
