#include "party/Volumes.h"

#include <QCoreApplication>
#include <QStorageInfo>
#include <algorithm>
#include <chrono>
#include <dirent.h>
#include <future>
#include <memory>
#include <set>
#include <sys/statvfs.h>
#include <thread>

namespace {

bool IsNetwork(const std::string& type) {
    static const std::set<std::string> kNet = {
        "nfs", "nfs4",  "cifs",  "smb3",        "smbfs",     "afs", "fuse.sshfs",
        "9p",  "ncpfs", "davfs", "fuse.davfs2", "glusterfs", "ceph"};
    return kNet.count(type) > 0;
}

bool IsPseudo(const std::string& type) {
    static const std::set<std::string> kPseudo = {
        "proc",       "sysfs",    "devpts",     "devtmpfs",    "cgroup", "cgroup2",
        "securityfs", "pstore",   "debugfs",    "tracefs",     "mqueue", "hugetlbfs",
        "bpf",        "configfs", "fusectl",    "binfmt_misc", "autofs", "efivarfs",
        "nsfs",       "squashfs", "rpc_pipefs", "tmpfs",       "ramfs",  "fuse.gvfsd-fuse",
        "fuse.portal"};
    return kPseudo.count(type) > 0;
}

} // namespace

std::string TVolume::Text() const {
    if (!Source.empty()) return Root + "  (" + Source + ")";
    if (!Label.empty()) return Root + "  [" + Label + "]";
    return Root;
}

std::vector<TVolume> MountedVolumes() {
    std::vector<TVolume> list;
    std::set<std::string> seen;
    for (const QStorageInfo& s : QStorageInfo::mountedVolumes()) {
        const std::string type = s.fileSystemType().toStdString();
        const std::string root = s.rootPath().toStdString();
        if (root.empty() || (root != "/" && IsPseudo(type)) || !seen.insert(root).second) continue;
        TVolume v;
        v.Root = root;
        v.Label = s.name().toStdString();
        if (IsNetwork(type)) v.Source = s.device().toStdString();
        list.push_back(v);
    }
    if (!seen.count("/")) list.push_back({"/", "", ""});
    std::stable_sort(list.begin(), list.end(),
                     [](const TVolume& a, const TVolume& b) { return a.Root < b.Root; });
    return list;
}

bool VolumeAnswers(const std::string& root) {
    struct statvfs st {};
    if (statvfs(root.c_str(), &st) != 0 || st.f_blocks == 0) return false;
    DIR* d = opendir(root.c_str());
    if (!d) return false;
    closedir(d);
    return true;
}

bool VolumeReady(const std::string& root, int timeoutMs, std::string& why) {
    return VolumeReady(root, timeoutMs, why, VolumeAnswers);
}

bool VolumeReady(const std::string& root, int timeoutMs, std::string& why,
                 const std::function<bool(const std::string& root)>& ask) {
    auto answer = std::make_shared<std::promise<bool>>();
    std::future<bool> ready = answer->get_future();
    std::thread([root, answer, ask] { answer->set_value(ask(root)); }).detach();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (ready.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
        if (std::chrono::steady_clock::now() >= deadline) {
            why = "Drive not ready";
            return false;
        }
        // Keep painting, but let no click act on a window that is still asking.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    if (!ready.get()) {
        why = "Drive not ready";
        return false;
    }
    return true;
}
