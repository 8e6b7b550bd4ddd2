// TfrmDir: "Network Folder", the choice of the folder the stations of a star
// party share. A chooser of the mounted volumes, the folders of the chosen
// volume as a list (the open path, then the folders inside the current one)
// and the current path beneath.
#pragma once

#include "party/Volumes.h"
#include "party/Windowdrag.h"

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class TFrameLabel;
class TPartyShape;

class TfrmDir : public QDialog {
public:
    explicit TfrmDir(QWidget* parent = nullptr);

    // The current folder, whole; what the caller reads after the window closed.
    std::string Folder() const { return folder_; }
    // Moves the chooser to the volume holding path and the list to path. A
    // volume other than the current one is tested first; when it is not ready
    // nothing moves and the result is false.
    bool SetFolder(const std::string& path);

    // The volumes offered and the readiness test; tests put their own in.
    std::function<std::vector<TVolume>()> ListVolumes = [] { return MountedVolumes(); };
    std::function<bool(const std::string& root, std::string& why)> Ready =
        [](const std::string& root, std::string& why) { return VolumeReady(root, 2000, why); };
    // Notices go through this (the program's message window).
    std::function<int(int buttons, const std::string& text)> Ask;

    // The path text shortened in the middle ("/home/.../party") to fit width
    // pixels by measure; the first and last folders stay.
    static std::string ShortPath(const std::string& path, int width,
                                 const std::function<int(const std::string&)>& measure);

    static constexpr int kPathWidth = 469;

    QComboBox* dcbKyoyu;
    QListWidget* dlbKyoyu;
    QLabel* labPath;
    TFrameLabel *flbControler, *flbOk, *flbCancel;
    TPartyShape* shpFrame;
    const std::vector<TVolume>& Volumes() const { return volumes_; }
    int Drive() const { return drive_; }

    void FormShow();
    void dcbKyoyuChange(int index);
    void dlbKyoyuChange(const std::string& path);
    void flbOkMouseDown();
    void flbCancelMouseDown();

protected:
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    int VolumeOf(const std::string& path) const;
    void FillVolumes();
    void FillTree();
    void ShowDrive(int index);

    std::vector<TVolume> volumes_;
    int drive_ = -1;     // index into volumes_
    int lastGood_ = -1;  // the last volume found ready
    std::string folder_; // current folder
    std::string savedFolder_;
    bool filling_ = false;
    TWindowDrag drag_{this};
};
