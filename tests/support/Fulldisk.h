// A full disk, as far as this process is concerned: while a TFullDisk
// lives no file may grow past 4096 bytes, and the signal for it is ignored,
// as a full disk sends none. Room() gives the room back before the end.
#pragma once

#include <sys/resource.h>

#include <csignal>

class TFullDisk {
public:
    TFullDisk() {
        if (getrlimit(RLIMIT_FSIZE, &Old) != 0) return;
        OldSignal = std::signal(SIGXFSZ, SIG_IGN);
        Active = true;
        struct rlimit small = Old;
        small.rlim_cur = 4096;
        Limited = setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~TFullDisk() { Room(); }
    TFullDisk(const TFullDisk&) = delete;
    TFullDisk& operator=(const TFullDisk&) = delete;

    // Whether the limit is in force.
    bool Full() const { return Limited; }
    void Room() {
        if (!Active) return;
        setrlimit(RLIMIT_FSIZE, &Old);
        std::signal(SIGXFSZ, OldSignal);
        Active = Limited = false;
    }

private:
    struct rlimit Old {};
    void (*OldSignal)(int) = SIG_DFL;
    bool Active = false, Limited = false;
};
