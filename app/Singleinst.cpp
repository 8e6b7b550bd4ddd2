#include "app/Singleinst.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

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
    if (lock_->error() != QLockFile::LockFailedError) return true;
    if (HeldByAnother()) return false;
    // Something that is no lock of a running instance stands at the lock's
    // place: an empty or damaged file (a crash while it was written, a full
    // disk) is removed and the lock taken; anything else (a folder) is left
    // alone and the program starts without a lock.
    const QFileInfo info(path_);
    if (!info.isFile() || info.isSymLink() || !QFile::remove(path_)) return true;
    if (lock_->tryLock(0)) return true;
    return lock_->error() != QLockFile::LockFailedError || !HeldByAnother();
}

bool TSingleInstance::HeldByAnother() const {
    const QFileInfo info(path_);
    if (!info.isFile() || info.isSymLink()) return false;
    // A lock that reads as one of a live process (stale ones were taken
    // over by tryLock already).
    qint64 pid = 0;
    QString host, app;
    if (lock_->getLockInfo(&pid, &host, &app)) return true;
    // A damaged one, unless an instance is writing it this very moment: the
    // maker holds an flock on its lock file from creation on.
    const int fd = ::open(QFile::encodeName(path_).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return false;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

void TSingleInstance::Release() {
    server_.reset();
    if (lock_) lock_->unlock();
    lock_.reset();
}

QString TSingleInstance::SocketPath() const {
    return QDir(QFileInfo(path_).absolutePath()).filePath("Quenlira III.socket");
}

bool TSingleInstance::Listen(std::function<void()> raise) {
    if (!lock_ || !lock_->isLocked()) return false;
    // We hold the lock, so a socket file left there is a crashed run's.
    QLocalServer::removeServer(SocketPath());
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(),
                     [this, raise = std::move(raise)] {
                         while (QLocalSocket* s = server_->nextPendingConnection()) {
                             // Nothing is read: a connection is the request.
                             s->disconnectFromServer();
                             s->deleteLater();
                             if (raise) raise();
                         }
                     });
    return server_->listen(SocketPath());
}

bool TSingleInstance::AskToRaise() const {
    QLocalSocket s;
    s.connectToServer(SocketPath());
    if (!s.waitForConnected(1000)) return false;
    s.disconnectFromServer();
    return true;
}
