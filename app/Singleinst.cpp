#include "app/Singleinst.h"

#include <QDir>

TSingleInstance::TSingleInstance(const QString& folder)
    : path_(QDir(folder).filePath("Quenlira III.lock")) {}

TSingleInstance::~TSingleInstance() {
    Release();
}

bool TSingleInstance::Acquire() {
    if (lock_ && lock_->isLocked()) return true;
    QDir().mkpath(QFileInfo(path_).absolutePath());
    lock_ = std::make_unique<QLockFile>(path_);
    // Never by age: a long-running instance keeps its lock however old it is.
    // A lock whose process has gone is still found stale and removed.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) return true;
    // Only a lock held by a running instance refuses; a lock that cannot be
    // made at all (a folder we may not write) must not keep the program from
    // starting with an untrue "Already Run!".
    return lock_->error() != QLockFile::LockFailedError;
}

void TSingleInstance::Release() {
    if (lock_) lock_->unlock();
    lock_.reset();
}
