// A private X server (Xvfb) with a window manager (openbox) for the
// end-to-end tests, as a person's desktop has one, with xdotool to drive it
// and screenshots put together window by window.
#pragma once

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#include <chrono>
#include <cstdint>
#include <functional>
#include <unistd.h>

namespace e2e {

using Clock = std::chrono::steady_clock;

inline bool WaitFor(const std::function<bool()>& ok, int ms) {
    auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < end) {
        if (ok()) return true;
        QThread::msleep(100);
    }
    return ok();
}

// Reads an XWD dump of a 24- or 32-bit screen into an image.
inline QImage ReadXwd(const QByteArray& d) {
    auto u32 = [&](int i) {
        const auto* p = reinterpret_cast<const unsigned char*>(d.constData()) + 4 * i;
        return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
    };
    if (d.size() < 100) return {};
    const uint32_t headerSize = u32(0), width = u32(4), height = u32(5), byteOrder = u32(7),
                   bpp = u32(11), bytesPerLine = u32(12), ncolors = u32(19);
    const uint32_t step = bpp / 8;
    if ((bpp != 24 && bpp != 32) || width == 0 || bytesPerLine < step * width) return {};
    const qsizetype start = headerSize + 12 * qsizetype(ncolors);
    if (d.size() < start + qsizetype(bytesPerLine) * height) return {};
    QImage img(int(width), int(height), QImage::Format_RGB32);
    for (uint32_t y = 0; y < height; ++y) {
        const auto* row =
            reinterpret_cast<const unsigned char*>(d.constData()) + start + y * bytesPerLine;
        for (uint32_t x = 0; x < width; ++x) {
            const unsigned char* px = row + step * x;
            uint32_t v = byteOrder == 0 ? (px[0] | px[1] << 8 | px[2] << 16)
                                        : (px[step - 1] | px[step - 2] << 8 | px[step - 3] << 16);
            img.setPixel(int(x), int(y), 0xFF000000u | v);
        }
    }
    return img;
}

class XServer {
public:
    // Without a display the server is started by Start(); with one, the
    // helpers work on that display (a server someone else runs).
    explicit XServer(const QString& display = {}) : display_(display) {}

    // The place and size of a window's inside on the screen. (xdotool's
    // own answer counts a window manager's frame twice.)
    QRect Geometry(const QString& id) const {
        const Result info = Run({"-id", id}, "xwininfo");
        auto field = [&](const char* name) {
            const QRegularExpressionMatch m =
                QRegularExpression(QString(name) + ":\\s+(-?\\d+)").match(info.out);
            return m.hasMatch() ? m.captured(1).toInt() : 0;
        };
        return QRect(field("Absolute upper-left X"), field("Absolute upper-left Y"),
                     field("Width"), field("Height"));
    }

    // The programs a test under this server needs; empty when all are there.
    static QString Missing() {
        QStringList missing;
        for (const char* tool : {"Xvfb", "xdotool", "openbox", "xwd", "xprop", "xwininfo"})
            if (QStandardPaths::findExecutable(tool).isEmpty()) missing << tool;
        return missing.join(", ");
    }

    // A display number well away from the low ones other programs take for
    // granted; one that is in use makes Xvfb give up at once, and the next is tried.
    // The screen's size is "WIDTHxHEIGHT".
    bool Start(const QString& size = "1024x768") {
        for (int n = 300 + getpid() % 500, tries = 0; tries < 40; ++n, ++tries) {
            if (QFile::exists(QString("/tmp/.X%1-lock").arg(n)) ||
                QFile::exists(QString("/tmp/.X11-unix/X%1").arg(n)))
                continue;
            display_ = QString(":%1").arg(n);
            // Without -noreset the server resets when its last client leaves,
            // and a program connecting just then (right after the readiness
            // probe below) is turned away.
            xvfb_.start("Xvfb",
                        {display_, "-screen", "0", size + "x24", "-nolisten", "tcp", "-noreset"});
            if (!xvfb_.waitForStarted(5000)) return false;
            if (WaitFor(
                    [&] {
                        return xvfb_.state() != QProcess::Running || Run({"getdisplaygeometry"}).ok;
                    },
                    10000) &&
                xvfb_.state() == QProcess::Running)
                return StartWindowManager();
            xvfb_.kill();
            xvfb_.waitForFinished(2000);
        }
        return false;
    }
    bool Alive() const { return xvfb_.state() == QProcess::Running; }
    ~XServer() {
        if (wm_.state() != QProcess::NotRunning) {
            wm_.terminate();
            if (!wm_.waitForFinished(3000)) wm_.kill();
            wm_.waitForFinished(2000);
        }
        if (xvfb_.state() != QProcess::NotRunning) {
            xvfb_.terminate();
            if (!xvfb_.waitForFinished(3000)) xvfb_.kill();
            xvfb_.waitForFinished(2000);
        }
    }
    QString Display() const { return display_; }

    struct Result {
        bool ok;
        QString out;
    };
    // Runs a program (xdotool by default) against this display.
    Result Run(const QStringList& args, const QString& program = "xdotool") const {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", display_);
        p.setProcessEnvironment(env);
        p.start(program, args);
        if (!p.waitForFinished(10000)) {
            p.kill();
            p.waitForFinished(1000);
            return {false, {}};
        }
        return {p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0,
                QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed()};
    }
    QStringList Visible(const QString& name) const {
        Result r = Run({"search", "--onlyvisible", "--name", name});
        return r.out.isEmpty() ? QStringList() : r.out.split('\n');
    }

    // What a person sees: the root window with the frames the window manager
    // draws, then every managed window and every pop-up grabbed by itself and
    // pasted in stacking order. (On Xvfb a window opened over another can
    // come out black in a grab of the root window alone.)
    QImage Shoot() const {
        QTemporaryDir tmp;
        QImage shot = Grab("-root", tmp.filePath("root.xwd"));
        if (shot.isNull()) return shot;
        QPainter paint(&shot);
        for (const QString& id : Stacking()) {
            if (!Run({"-id", id}, "xwininfo").out.contains("IsViewable")) continue;
            // A window partly off the screen comes back as something else
            // (openbox's 1x1 window at -100,-100 as the whole screen): skip it.
            const QRect at = Geometry(id);
            const QImage window = Grab(id, tmp.filePath("window.xwd"));
            if (window.size() == at.size()) paint.drawImage(at.topLeft(), window);
        }
        return shot;
    }

private:
    // Starts openbox and waits until it has taken the screen (it announces
    // itself on the root window), so the first window a test opens is managed.
    bool StartWindowManager() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", display_);
        wm_.setProcessEnvironment(env);
        wm_.start("openbox", {"--sm-disable"});
        if (!wm_.waitForStarted(5000)) return false;
        return WaitFor(
            [&] {
                return wm_.state() == QProcess::Running &&
                       Run({"-root", "_NET_SUPPORTING_WM_CHECK"}, "xprop").out.contains("window id");
            },
            10000);
    }
    QImage Grab(const QString& id, const QString& file) const {
        const QStringList which = id == "-root" ? QStringList{"-root"} : QStringList{"-id", id};
        QFile::remove(file); // a failed grab must not read the last one again
        if (!Run(which + QStringList{"-silent", "-out", file}, "xwd").ok) return {};
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly)) return {};
        return ReadXwd(f.readAll());
    }
    // The managed windows bottom to top, then the pop-ups that bypass the
    // window manager (override-redirect), which are always above them.
    QStringList Stacking() const {
        QStringList ids;
        const Result managed = Run({"-root", "_NET_CLIENT_LIST_STACKING"}, "xprop");
        for (const QRegularExpressionMatch& m :
             QRegularExpression("0x[0-9a-fA-F]+").globalMatch(managed.out))
            ids << m.captured(0);
        const Result children = Run({"-root", "-children"}, "xwininfo");
        for (const QString& line : children.out.split('\n')) {
            const QRegularExpressionMatch m =
                QRegularExpression("^\\s*(0x[0-9a-fA-F]+)").match(line);
            if (!m.hasMatch()) continue;
            const Result info = Run({"-id", m.captured(1)}, "xwininfo");
            if (info.out.contains("Override Redirect State: yes") &&
                info.out.contains("IsViewable"))
                ids << m.captured(1);
        }
        return ids;
    }

    QString display_;
    QProcess xvfb_;
    QProcess wm_;
};

// The red texts of a screen area as tesseract reads them: the red channel,
// negated and enlarged four times, so red on black becomes black on white.
// green: read the green channel instead, where white on red (a marked row)
// is the only text. The area is cut to the picture.
inline QString ReadRed(const QImage& shot, const QRect& area, const QString& folder,
                       bool green = false) {
    if (QStandardPaths::findExecutable("tesseract").isEmpty()) return "(no tesseract)";
    const QRect r = area.intersected(shot.rect());
    QImage grey(r.size() * 4, QImage::Format_Grayscale8);
    for (int y = 0; y < grey.height(); ++y) {
        uchar* row = grey.scanLine(y);
        for (int x = 0; x < grey.width(); ++x) {
            const QRgb p = shot.pixel(r.left() + x / 4, r.top() + y / 4);
            row[x] = static_cast<uchar>(255 - (green ? qGreen(p) : qRed(p)));
        }
    }
    const QString png = folder + "/ocr.png";
    grey.save(png);
    QProcess p;
    p.start("tesseract", {png, "stdout", "--psm", "6"});
    p.waitForFinished(30000);
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

} // namespace e2e
