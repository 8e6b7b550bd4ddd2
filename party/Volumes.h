// The "drives" of the folder window: the mounted volumes of this computer,
// and a readiness test that cannot hang the window on a dead network mount.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct TVolume {
    std::string Root;   // mount point, e.g. "/" or "/mnt/party"
    std::string Label;  // volume label, may be empty
    std::string Source; // for a network file system: what is mounted (server:/path)
    // The chooser's line: the mount point, then the network source or the label.
    std::string Text() const;
};

// Mounted volumes that hold files (no /proc, /sys and the like), "/" first.
std::vector<TVolume> MountedVolumes();

// Whether the volume at root answers: its size can be read and its root folder
// listed within timeoutMs. The question runs on a worker thread; while waiting
// the window keeps painting. A volume that does not answer in time is not ready
// (its worker is left to finish on its own).
// ask is the question itself (size and listing by default).
bool VolumeReady(const std::string& root, int timeoutMs, std::string& why);
bool VolumeReady(const std::string& root, int timeoutMs, std::string& why,
                 const std::function<bool(const std::string& root)>& ask);
// The size of the volume at root can be read and its root folder listed.
bool VolumeAnswers(const std::string& root);
