// An installed copy: `cmake --install` into a temporary prefix that is then
// made read-only, the menu entry validated, and the installed program started
// under Xvfb with a temporary home: it finds its catalogues under share/, makes
// its settings in the home's data folder and draws the charts; the installed
// chart tool finds the catalogues too.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "Program.h"

#include <filesystem>

namespace {

using namespace e2e;

int Exec(const QString& program, const QStringList& args, QString* out = nullptr) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished(2000);
        return -1;
    }
    if (out) *out = QString::fromLocal8Bit(p.readAll());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

TEST(Installed, RunsFromAReadOnlyPrefixWithItsFilesInTheUsersDataFolder) {
    if (!e2e::XServer::Missing().isEmpty())
        GTEST_SKIP() << "not installed: " << e2e::XServer::Missing().toStdString();
    const QString build = QDir(QCoreApplication::applicationDirPath() + "/..").absolutePath();
    ASSERT_TRUE(QFileInfo::exists(build + "/CMakeCache.txt")) << build.toStdString();
    QTemporaryDir prefix, home;
    QString out;
    ASSERT_EQ(Exec("cmake", {"--install", build, "--prefix", prefix.path()}, &out), 0)
        << out.toStdString();
    const QDir p(prefix.path());
    for (const char* f : {"bin/quenlira", "bin/quenlira-chart", "share/quenlira/Star.dat",
                          "share/quenlira/Unsta.dat", "share/applications/quenlira.desktop",
                          "share/icons/hicolor/48x48/apps/quenlira.png",
                          "share/icons/hicolor/256x256/apps/quenlira.png",
                          "share/icons/hicolor/scalable/apps/quenlira.svg",
                          "share/man/man1/quenlira.1.gz", "share/man/man1/quenlira-chart.1.gz",
                          "share/metainfo/io.github.quenlira.Quenlira.metainfo.xml",
                          "share/doc/quenlira/LICENSE", "share/doc/quenlira/CC-BY-SA-4.0.txt",
                          "share/doc/quenlira/copyright", "share/doc/quenlira/SOURCES.md"})
        EXPECT_TRUE(QFileInfo::exists(p.filePath(f))) << f;
    if (!QStandardPaths::findExecutable("desktop-file-validate").isEmpty()) {
        EXPECT_EQ(Exec("desktop-file-validate", {p.filePath("share/applications/quenlira.desktop")},
                       &out),
                  0)
            << out.toStdString();
    }
    if (!QStandardPaths::findExecutable("appstreamcli").isEmpty()) {
        EXPECT_EQ(Exec("appstreamcli",
                       {"validate", "--no-net",
                        p.filePath("share/metainfo/io.github.quenlira.Quenlira.metainfo.xml")},
                       &out),
                  0)
            << out.toStdString();
    }
    // Read-only, as a system folder is for a user.
    ASSERT_EQ(Exec("chmod", {"-R", "a-w", prefix.path()}), 0);

    // The installed chart tool finds the shared catalogues (without them it
    // ends with status 1).
    const QString png = home.filePath("sky.png");
    EXPECT_EQ(Exec(p.filePath("bin/quenlira-chart"),
                   {"--site", "tokyo", "--date", "2026-12-07", "--time", "12:00", "-o", png}, &out),
              0)
        << out.toStdString();
    EXPECT_GT(QFileInfo(png).size(), 4000);

    XServer x;
    ASSERT_TRUE(x.Start()) << "Xvfb did not start";
    // The installed program keeps its files in the user's data folder.
    Program program(x);
    program.Environment().insert("HOME", home.path());
    program.Environment().remove("XDG_DATA_HOME");
    program.Process().setWorkingDirectory(home.path());
    ASSERT_TRUE(program.Start({}, p.filePath("bin/quenlira")));
    QStringList open;
    ASSERT_TRUE(WaitFor([&] { return !(open = x.Visible("^Quenlira III$")).isEmpty(); }, 30000))
        << "no opening window on " << x.Display().toStdString() << "; program "
        << (program.Process().waitForFinished(200) ? "ended" : "running")
        << ", output: " << program.Errors()
        << "; windows: " << x.Run({"search", "--name", "."}).out.toStdString();
    const QDir data(home.filePath(".local/share/quenlira"));
    EXPECT_EQ(QFileInfo(data.filePath("Sysinfo.dat")).size(), 13096);
    EXPECT_TRUE(QFileInfo::exists(data.filePath("StarParty.dat")));
    EXPECT_TRUE(QFileInfo(data.filePath("Option")).isDir());
    EXPECT_FALSE(QFileInfo::exists(p.filePath("bin/Sysinfo.dat")));

    ASSERT_FALSE(program.EnterChart(open[0]).isEmpty()) << "no chart window";
    const QImage shot = x.Shoot();
    ASSERT_FALSE(shot.isNull());
    shot.save(QCoreApplication::applicationDirPath() + "/quenlira_installed.png");
    // Stars and lines on the atlas: many pixels that are neither black nor red.
    int sky = 0;
    for (int y = 0; y < 600; ++y)
        for (int xx = 300; xx < 1000; ++xx) {
            const QRgb c = shot.pixel(xx, y);
            sky += qBlue(c) > 60 || qGreen(c) > 60;
        }
    EXPECT_GT(sky, 5000);

    program.End();
    Exec("chmod", {"-R", "u+w", prefix.path()}); // so the folder can be removed
}

} // namespace
