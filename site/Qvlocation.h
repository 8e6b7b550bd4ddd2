// TfrmLocation: the site editor. Edits one observing site (name, longitude,
// latitude, height, time difference, summer time) handed in by the caller,
// with a small world map on which a right click picks the position.
#pragma once

#include "site/Worldmap.h"

#include <QDialog>
#include <QImage>
#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class TFrameLabel;
class TKeyInp;

// The map picture: shows the drawn image and reports mouse presses.
class TMapImage : public QWidget {
public:
    explicit TMapImage(QWidget* parent = nullptr);
    QImage Image;
    std::function<void(Qt::MouseButton, int x, int y)> OnMouseDown;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
};

class TfrmLocation : public QDialog {
public:
    explicit TfrmLocation(QWidget* parent = nullptr);

    // Values exchanged with the caller.
    int Mode = 1; // 1 add, 2 edit
    std::string Name;
    double Lng = 0.0, Lat = 0.0, Height = 0.0, DiffUT = 0.0, Summer = 0.0;
    int Result = 0; // 1 OK, 0 cancelled

    // Questions and notices go through this (the program's message window);
    // it returns the message window's result code (10001 Yes ...).
    std::function<int(int buttons, const std::string& text)> Ask;
    // Whether a name can be stored (the settings file has a fixed-size field).
    std::function<bool(const std::string& name)> NameFits;

    TWorldMap Map;

    // Controls, public so that the caller and tests can reach them.
    QLineEdit* edtName;
    TKeyInp *kinLngD, *kinLngM, *kinLatD, *kinLatM, *kinSLevel, *kinDiffUT, *kinSummer;
    TFrameLabel *flbZoomIn, *flbZoomOut, *flbOk, *flbCancel;
    TMapImage* imgMap;

    void FormShow();
    void imgMapMouseDown(Qt::MouseButton button, int x, int y);
    void flbZoomInMouseDown();
    void flbZoomOutMouseDown();
    void flbOkMouseDown();
    void flbCancelMouseDown();
    void DrawMap();

    // The input after / before one in the input order (name first).
    QWidget* NextInput(QWidget* w, int step) const;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    // Closes the editor without a change (Escape).
    void Dismiss();
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    void KinKeyDown(QWidget* sender, int& key);
    int AskUser(int buttons, const std::string& text);
    QLabel* MakeLabel(const char* text, int x, int y);
    bool closing_ = false; // closed by OK or a confirmed Cancel
};
