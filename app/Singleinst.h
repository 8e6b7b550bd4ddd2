// The single-instance guard: a lock file named after "Quenlira III" in the
// given folder (the user's runtime or temporary folder). A lock left behind by
// a run that crashed is recognised as stale (its process is gone) and taken
// over, so it never keeps the program from starting.
#pragma once

#include <QLockFile>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;

class TSingleInstance {
public:
    explicit TSingleInstance(const QString& folder);
    ~TSingleInstance();
    // True when this process now holds the lock (or already held it), and
    // when no lock can be made there at all (also when a folder stands at its
    // place); an empty or damaged lock file is replaced. False only while
    // another running instance holds it.
    bool Acquire();
    void Release();
    QString LockPath() const { return path_; }

    // The instance holding the lock listens beside it; a second start asks
    // it to come to the front, and it calls `raise` (in its event loop).
    bool Listen(std::function<void()> raise);
    // Asks the running instance to come forward; false when none answers.
    bool AskToRaise() const;

private:
    bool HeldByAnother() const;
    QString SocketPath() const;
    QString path_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QLocalServer> server_;
};
