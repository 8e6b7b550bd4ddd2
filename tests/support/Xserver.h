// A private X server (Xvfb) for the end-to-end tests, with xdotool to drive
// it and a reader of its screenshots.
#pragma once

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>
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

class XServer {
public:
    // A display number well away from the low ones other programs take for
    // granted; one that is in use makes Xvfb give up at once, and the next is tried.
    bool Start() {
        for (int n = 300 + getpid() % 500, tries = 0; tries < 40; ++n, ++tries) {
            if (QFile::exists(QString("/tmp/.X%1-lock").arg(n)) ||
                QFile::exists(QString("/tmp/.X11-unix/X%1").arg(n)))
                continue;
            display_ = QString(":%1").arg(n);
            // Without -noreset the server resets when its last client leaves,
            // and a program connecting just then (right after the readiness
            // probe below) is turned away.
            xvfb_.start("Xvfb",
                        {display_, "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"});
            if (!xvfb_.waitForStarted(5000)) return false;
            if (WaitFor(
                    [&] {
                        return xvfb_.state() != QProcess::Running || Run({"getdisplaygeometry"}).ok;
                    },
                    10000) &&
                xvfb_.state() == QProcess::Running)
                return true;
            xvfb_.kill();
            xvfb_.waitForFinished(2000);
        }
        return false;
    }
    bool Alive() const { return xvfb_.state() == QProcess::Running; }
    ~XServer() {
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

private:
    QString display_;
    QProcess xvfb_;
};

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

} // namespace e2e
