// The single-instance guard: a second holder is refused while the first
// lives, a lock left by a process that is gone is taken over, and a live
// holder's lock never goes stale by age.
#include "app/Singleinst.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <utime.h>

TEST(SingleInstance, SecondHolderIsRefusedUntilReleased) {
    QTemporaryDir dir;
    TSingleInstance first(dir.path());
    ASSERT_TRUE(first.Acquire());
    EXPECT_TRUE(QFile::exists(dir.filePath("Quenlira III.lock")));
    TSingleInstance second(dir.path());
    EXPECT_FALSE(second.Acquire());
    first.Release();
    EXPECT_TRUE(second.Acquire());
}

TEST(SingleInstance, LockOfAVanishedProcessIsTakenOver) {
    QTemporaryDir dir;
    // A process that has certainly ended: start one and wait for it.
    QProcess p;
    p.start("true", {});
    ASSERT_TRUE(p.waitForFinished(5000));
    qint64 gone = p.processId();
    if (gone == 0) gone = 999999;
    // Write a lock like the crashed run would have left it.
    {
        TSingleInstance crashed(dir.path());
        ASSERT_TRUE(crashed.Acquire());
        QFile f(crashed.LockPath());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        QList<QByteArray> lines = f.readAll().split('\n');
        f.close();
        crashed.Release();
        // Release removed it: put it back with the dead process's id.
        lines[0] = QByteArray::number(gone);
        QFile g(crashed.LockPath());
        ASSERT_TRUE(g.open(QIODevice::WriteOnly));
        g.write(lines.join('\n'));
        g.close();
    }
    TSingleInstance next(dir.path());
    EXPECT_TRUE(next.Acquire());
}

TEST(SingleInstance, OldLockOfALiveProcessStillHolds) {
    QTemporaryDir dir;
    TSingleInstance first(dir.path());
    ASSERT_TRUE(first.Acquire());
    // Pretend the first instance has been running for a day.
    struct utimbuf t;
    t.actime = t.modtime = QDateTime::currentSecsSinceEpoch() - 86400;
    ASSERT_EQ(utime(first.LockPath().toLocal8Bit().constData(), &t), 0);
    TSingleInstance second(dir.path());
    EXPECT_FALSE(second.Acquire());
}

TEST(SingleInstance, AFolderWithoutRoomForTheLockDoesNotClaimAnotherInstance) {
    // The lock cannot be made at all (its folder lies under a plain file):
    // no other instance runs, so "Already Run!" would be untrue and would
    // keep the program from ever starting.
    QTemporaryDir dir;
    QFile plain(dir.filePath("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    TSingleInstance guard(dir.filePath("plain/run"));
    EXPECT_TRUE(guard.Acquire());
}

TEST(SingleInstance, ADamagedLockDoesNotClaimAnotherInstance) {
    // An empty lock file, one of random bytes, or a folder at the lock's
    // path gave "Already Run!" at every start.
    QTemporaryDir dir;
    const QString path = dir.filePath("Quenlira III.lock");
    auto write = [&](const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    };
    QByteArray noise;
    for (int i = 0; i < 300; ++i)
        noise.append(static_cast<char>((i * 7919 + 13) & 0xFF));
    for (const QByteArray& bytes : {QByteArray(), noise, QByteArray("\n\n\n")}) {
        write(bytes);
        TSingleInstance guard(dir.path());
        EXPECT_TRUE(guard.Acquire()) << bytes.left(20).toHex().constData();
        // ... and the lock it took is a real one.
        TSingleInstance second(dir.path());
        EXPECT_FALSE(second.Acquire());
        guard.Release();
    }

    // A damaged file that another process holds (an instance writing its
    // lock this very moment) still refuses.
    write(QByteArray());
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    {
        QProcess helper; // flock is per open file: hold it from another process
        helper.start("flock", {"-n", path, "true"});
        ASSERT_TRUE(helper.waitForFinished(5000));
        EXPECT_NE(helper.exitCode(), 0) << "the file should be held";
    }
    TSingleInstance blocked(dir.path());
    EXPECT_FALSE(blocked.Acquire());
    ::close(fd);
    QFile::remove(path);

    // A folder at the lock's path is left alone; the program starts.
    ASSERT_TRUE(QDir(dir.path()).mkdir("Quenlira III.lock"));
    TSingleInstance guard(dir.path());
    EXPECT_TRUE(guard.Acquire());
    EXPECT_TRUE(QFileInfo(path).isDir());
}
