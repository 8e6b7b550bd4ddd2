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
