// The chart window's captions as a person reads them, in the real program
// under Xvfb with a window manager: every caption of the left column and of
// the strip under the atlas is read by OCR (tesseract) and its colour taken,
// once as the window opens and once after a few clicks have turned switches
// on, chosen another tab and made the view history's "<" available. Then the
// lists of the "NGC1000-" and "IC1000-" menus read with whole numbers, the
// Moon's information reads to its last line without scrolling, and the key
// help opens whole on the screen.
// Skipped with a message when Xvfb, xdotool or tesseract is missing.
#include <QCoreApplication>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <gtest/gtest.h>

#include "Program.h"
#include "Xserver.h"
#include "app/Qvsky.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

using namespace e2e;

// A caption and the box it is drawn in (window coordinates); a framed box
// has a one-pixel outline in the caption's colour.
struct Caption {
    QString text;
    QRect box;
    bool framed = true;
};

// Captions read together: a row of words, a column (one caption a line),
// or single glyphs ("<", "-5", memory digits), each read by itself.
enum class Reading { Row, Column, Glyphs };
struct Group {
    const char* name;
    Reading reading;
    std::vector<Caption> captions;
};

// The chart window's captions at the one-column layout, from its layout
// (TfrmQVSKY::LayoutControls) and the window's height.
std::vector<Group> Captions(const QStringList& menus, int height) {
    std::vector<Group> g;
    g.push_back({"clock buttons",
                 Reading::Row,
                 {{"NOW", {2, 330, 36, 16}}, {"Setting", {2, 350, 48, 16}}, {"GoTo", {54, 350, 40, 16}}}});
    Group tabs{"tabs", Reading::Row, {}};
    const char* names[4] = {"S.Sys", "M,NGC", "IC,etc", "Others"};
    for (int i = 0; i < 4; ++i)
        tabs.captions.push_back({names[i], QRect(9 + 45 * i, 378, 44, 13)});
    g.push_back(tabs);
    Group menu{"menus", Reading::Column, {}};
    for (int i = 0; i < menus.size(); ++i)
        menu.captions.push_back({menus[i], QRect(2, 394 + 14 * i, 74, 14), false});
    g.push_back(menu);
    Group switches{"switches", Reading::Column, {}};
    const char* sw[8] = {"MilkyWay", "Constellation", "Bayer", "Flamsteed",
                         "StarName", "Nebula etc.",  "Grid",  "Realistic"};
    for (int i = 0; i < 8; ++i)
        switches.captions.push_back({sw[i], QRect(16, 524 + 16 * i, 96, 16), false});
    g.push_back(switches);
    Group digits{"memories", Reading::Glyphs, {}};
    for (int i = 0; i < 10; ++i)
        digits.captions.push_back(
            {QString::number(i), QRect(120 + 30 * (i % 5), 526 + 22 * (i / 5), 26, 18)});
    g.push_back(digits);
    g.push_back({"memory set", Reading::Row, {{"Set", {120, 574, 56, 18}}}});
    g.push_back({"history", Reading::Glyphs, {{"<", {180, 574, 26, 18}}, {">", {210, 574, 26, 18}}}});
    // The strip under the atlas, in one row on this wide window.
    const int y = height - TfrmQVSKY::kStripHeight + 2, left = TfrmQVSKY::kLeftWidth + 16;
    g.push_back({"strip",
                 Reading::Row,
                 {{"ZOOM IN", {left, y, 56, 16}},
                  {"ZOOM OUT", {left + 58, y, 62, 16}},
                  {"Sensitivity", {left + 122, y, 58, 16}, false}}});
    Group sensitivity{"sensitivity", Reading::Glyphs, {{"-", {left + 182, y, 14, 16}}}};
    for (int i = 0; i < 11; ++i)
        sensitivity.captions.push_back(
            {QString::number(i - 5), QRect(left + 198 + 17 * i, y, 15, 16)});
    sensitivity.captions.push_back({"+", {left + 198 + 17 * 11, y, 14, 16}});
    g.push_back(sensitivity);
    return g;
}

// The brightest red of a caption's letters: 255 when on, chosen or
// available, 128 when off, unchosen or unavailable, about 0 when unreadable;
// thin glyphs ("<") stay about a fifth below. (Pale memory digits have
// green in them and are not counted.)
int Ink(const QImage& shot, const QRect& box) {
    int most = 0;
    const QRect in = box.adjusted(1, 1, -1, -1);
    for (int y = in.top(); y <= in.bottom(); ++y)
        for (int x = in.left(); x <= in.right(); ++x) {
            const QRgb p = shot.pixel(x, y);
            if (qGreen(p) < 90) most = std::max(most, qRed(p));
        }
    return most;
}
const char* State(int ink) {
    return ink >= 180 ? "on" : ink >= 70 && ink <= 150 ? "off" : "unreadable";
}

// What tesseract is given: black letters on white, four times enlarged,
// from the captions' boxes alone (outlines and marks around them are read
// as letters otherwise), each box stretched from its background to its
// brightest letter: a dark red caption is read for its shapes (its colour
// is checked apart), and so is a caption on a lit box (the current
// sensitivity).
QString Read(const QImage& shot, const std::vector<Caption>& captions, const QPoint& origin,
             const QString& folder, bool glyph) {
    QRect all;
    for (const Caption& c : captions)
        all |= c.box;
    all = all.adjusted(-6, -6, 6, 6).translated(origin);
    QImage grey(all.size(), QImage::Format_Grayscale8);
    grey.fill(255);
    for (const Caption& c : captions) {
        const QRect box = c.box.translated(origin);
        const QRect in = c.framed ? box.adjusted(1, 1, -1, -1) : box;
        int low = 255, high = 0;
        for (int y = in.top(); y <= in.bottom(); ++y)
            for (int x = in.left(); x <= in.right(); ++x) {
                low = std::min(low, qRed(shot.pixel(x, y)));
                high = std::max(high, qRed(shot.pixel(x, y)));
            }
        if (high - low < 40) continue; // nothing written
        for (int y = in.top(); y <= in.bottom(); ++y)
            for (int x = in.left(); x <= in.right(); ++x) {
                const int r = (qRed(shot.pixel(x, y)) - low) * 255 / (high - low);
                grey.scanLine(y - all.top())[x - all.left()] = static_cast<uchar>(255 - r);
            }
    }
    const QString png = folder + "/captions.png";
    grey.scaled(grey.size() * 4, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).save(png);
    QStringList args{png, "stdout", "--psm", glyph ? "7" : "6"};
    if (glyph) args << "-c" << "tessedit_char_whitelist=0123456789-+<>";
    QProcess p;
    p.start("tesseract", args);
    p.waitForFinished(30000);
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

// Letters only, lower case; short captions ("-1", "<") with the look-alikes
// tesseract confuses in single glyphs made one.
QString Plain(QString s, bool shortOne) {
    s = s.toLower();
    if (shortOne) {
        s.replace(QRegularExpression("[il|1]+"), "1");
        s.replace('o', "0");
    }
    return s.remove(QRegularExpression("[^a-z0-9<>+\\-]"));
}

int Distance(const QString& a, const QString& b) {
    std::vector<int> row(b.size() + 1);
    for (int j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (int i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = i;
        for (int j = 1; j <= b.size(); ++j) {
            const int up = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = up;
        }
    }
    return row[b.size()];
}

// Whether a caption is among what was read: a line of a column, or one or
// two neighbouring words of a row; a long caption may differ by a letter in
// four ("Flamsiteed").
bool Reads(const QString& read, bool column, const QString& caption) {
    QStringList pieces;
    for (const QString& line : read.split('\n', Qt::SkipEmptyParts)) {
        if (column) {
            pieces << line;
            continue;
        }
        const QStringList words = line.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
        for (int i = 0; i < words.size(); ++i) {
            pieces << words[i];
            if (i + 1 < words.size()) pieces << words[i] + words[i + 1];
        }
    }
    const bool shortOne = caption.size() <= 2;
    const QString want = Plain(caption, shortOne);
    for (const QString& piece : pieces) {
        const QString got = Plain(piece, shortOne);
        if (shortOne ? got == want : Distance(got, want) <= std::max<int>(1, want.size() / 4))
            return true;
    }
    return false;
}

// The program on a 1600x1000 screen, through the opening window to the chart.
class Chart {
public:
    bool Start(QString& why) {
        if (!XServer::Missing().isEmpty()) {
            why = "not installed: " + XServer::Missing();
            return false;
        }
        if (QStandardPaths::findExecutable("tesseract").isEmpty()) {
            why = "not installed: tesseract";
            return false;
        }
        if (!x.Start("1600x1000")) return Fail(why, "Xvfb did not start");
        program = std::make_unique<Program>(x); // on the server's display
        if (const QString missing = program->Install(); !missing.isEmpty())
            return Fail(why, missing);
        if (!program->Start()) return Fail(why, "the program did not start");
        window = program->OpenChart();
        if (window.isEmpty())
            return Fail(why, "no chart window; " + QString::fromStdString(program->Errors()));
        bounds = x.Geometry(window);
        return !bounds.isEmpty() || Fail(why, "the chart window has no place");
    }
    // A left click at a place in the window; then the window's drawing settles.
    void Click(const QPoint& at) {
        x.Run({"mousemove", "--sync", QString::number(bounds.left() + at.x()),
               QString::number(bounds.top() + at.y()), "click", "1"});
        QThread::msleep(600);
    }
    // A screenshot once two in a row agree within the window (nothing still drawing).
    QImage Settled() {
        QImage last = x.Shoot();
        for (int i = 0; i < 10; ++i) {
            QThread::msleep(300);
            QImage next = x.Shoot();
            if (next.copy(bounds) == last.copy(bounds)) return next;
            last = next;
        }
        return last;
    }
    QString Folder() const { return program->Folder(); }

    XServer x;
    std::unique_ptr<Program> program;
    QString window;
    QRect bounds;

private:
    static bool Fail(QString& why, const QString& text) {
        why = text;
        return false;
    }
};

// Reads every group of a screenshot and checks each caption's text and state
// ("on" or "off"; captions without a state only have to be lit). tesseract
// misses a single glyph now and then ("-5" as "5", "0" as nothing): of the
// glyphs, all but one in five must read; each one's colour is checked.
void ExpectCaptions(const Chart& chart, const QImage& shot, const std::vector<Group>& groups,
                    const QMap<QString, QString>& states, const char* when) {
    const QPoint origin = chart.bounds.topLeft();
    const QString folder = chart.Folder();
    for (const Group& g : groups) {
        if (g.reading == Reading::Glyphs) {
            QStringList missed, read;
            for (const Caption& c : g.captions) {
                read << Read(shot, {c}, origin, folder, true);
                if (Plain(read.last(), true) != Plain(c.text, true)) missed << c.text;
            }
            EXPECT_LE(missed.size(), int(g.captions.size()) / 5)
                << when << ": the " << g.name << " read as \"" << read.join(' ').toStdString()
                << "\"; not read: " << missed.join(' ').toStdString();
        } else {
            const QString read = Read(shot, g.captions, origin, folder, false);
            for (const Caption& c : g.captions)
                EXPECT_TRUE(Reads(read, g.reading == Reading::Column, c.text))
                    << when << ": \"" << c.text.toStdString() << "\" is not among the " << g.name
                    << ", read as: " << read.toStdString();
        }
        // The memory digits are pale on their slots' colour, in any state.
        if (QString(g.name) == "memories") continue;
        for (const Caption& c : g.captions) {
            const int ink = Ink(shot, c.box.translated(origin));
            const QString want = states.value(c.text, "");
            if (!want.isEmpty())
                EXPECT_EQ(State(ink), want.toStdString())
                    << when << ": \"" << c.text.toStdString() << "\" in the " << g.name
                    << ", brightest red " << ink;
            else
                EXPECT_GE(ink, 180) << when << ": \"" << c.text.toStdString() << "\" in the "
                                    << g.name;
        }
    }
}

// The numbers in a list's "No." column as read, one a row.
QStringList Numbers(const QString& read, const QString& prefix) {
    QStringList found;
    for (const QRegularExpressionMatch& m :
         QRegularExpression(prefix + "\\s?([0-9OoIl]+)", QRegularExpression::CaseInsensitiveOption)
             .globalMatch(read))
        found << m.captured(1).replace(QRegularExpression("[Oo]"), "0").replace(QRegularExpression("[Il]"), "1");
    return found;
}

} // namespace

TEST(ChartCaptions, EveryCaptionReadsOffAndOnAndListsAndMemoShowTheirWholeText) {
    Chart chart;
    QString why;
    if (!chart.Start(why)) {
        if (why.startsWith("not installed")) GTEST_SKIP() << why.toStdString();
        FAIL() << why.toStdString();
    }
    ASSERT_GE(chart.bounds.height(), TfrmQVSKY::kOneColumnHeight);
    const QString bin = QCoreApplication::applicationDirPath();
    const int h = chart.bounds.height();

    // As the window opens: the first tab with its one menu, three switches
    // off, "Set" disarmed, nothing to go back or forward to, sensitivity 0.
    QMap<QString, QString> states{{"S.Sys", "on"},     {"M,NGC", "off"},    {"IC,etc", "off"},
                                  {"Others", "off"},   {"Planet", "on"},    {"MilkyWay", "on"},
                                  {"Constellation", "on"}, {"Bayer", "off"}, {"Flamsteed", "off"},
                                  {"StarName", "on"},  {"Nebula etc.", "off"}, {"Grid", "on"},
                                  {"Realistic", "on"}, {"Set", "off"},      {"<", "off"},
                                  {">", "off"}};
    for (int i = -5; i <= 5; ++i)
        states[QString::number(i)] = i == 0 ? "on" : "off";
    QImage shot = chart.Settled();
    shot.save(bin + "/captions_e2e_start.png");
    ExpectCaptions(chart, shot, Captions({"Planet"}, h), states, "at start");

    // A click on "M,NGC", on "Bayer", on "Set", twice on "ZOOM IN" (the
    // first zoomed view is one to go back to) and on "+".
    const int strip = h - TfrmQVSKY::kStripHeight + 10, left = TfrmQVSKY::kLeftWidth + 16;
    chart.Click({9 + 45 + 22, 384});
    chart.Click({40, 524 + 2 * 16 + 8});
    chart.Click({148, 583});
    chart.Click({left + 28, strip});
    chart.Click({left + 28, strip});
    chart.Click({left + 198 + 17 * 11 + 7, strip});
    const QStringList messier{"M",        "NGC 0-",   "NGC1000-", "NGC2000-", "NGC3000-",
                              "NGC4000-", "NGC5000-", "NGC6000-", "NGC7000-"};
    states["S.Sys"] = "off";
    states["M,NGC"] = "on";
    states.remove("Planet");
    states["M"] = "on";
    for (int i = 1; i < 9; ++i)
        states[messier[i]] = "off";
    states["Bayer"] = "on";
    states["Set"] = "on";
    states["<"] = "on";
    states["0"] = "off";
    states["1"] = "on";
    shot = chart.Settled();
    shot.save(bin + "/captions_e2e_clicked.png");
    ExpectCaptions(chart, shot, Captions(messier, h), states, "after the clicks");

    // The NGC1000- and IC1000- lists: every row with its whole number (the
    // chosen first row is white on red and left out).
    const QRect rows = QRect(79, 394 + 2 * 14, 100, 7 * 14).translated(chart.bounds.topLeft());
    chart.Click({30, 394 + 2 * 14 + 7});
    shot = chart.Settled();
    shot.save(bin + "/captions_e2e_ngc1000.png");
    QString read = ReadRed(shot, rows, chart.Folder());
    QStringList numbers = Numbers(read, "NGC");
    EXPECT_GE(numbers.size(), 5) << "NGC1000- read as: " << read.toStdString();
    for (const QString& n : numbers)
        EXPECT_TRUE(n.size() == 4 && n.startsWith('1')) << "NGC" << n.toStdString() << " in "
                                                          << read.toStdString();
    chart.Click({9 + 90 + 22, 384});
    chart.Click({30, 394 + 14 + 7});
    shot = chart.Settled();
    shot.save(bin + "/captions_e2e_ic1000.png");
    read = ReadRed(shot, rows, chart.Folder());
    numbers = Numbers(read, "IC");
    EXPECT_GE(numbers.size(), 5) << "IC1000- read as: " << read.toStdString();
    for (const QString& n : numbers)
        EXPECT_TRUE(n.size() == 4 && n.startsWith('1')) << "IC" << n.toStdString() << " in "
                                                         << read.toStdString();

    // The Moon (fourth row of the first tab): its text to the last line, the
    // geocentric distance, with no scrolling; the memo runs from under the
    // object's name to the window's bottom.
    chart.Click({9 + 22, 384});
    chart.Click({120, 394 + 4 * 14 + 7});
    shot = chart.Settled();
    shot.save(bin + "/captions_e2e_moon.png");
    const int memoTop = 524 + 72 + TfrmQVSKY::kObjInfoH + 18;
    read = ReadRed(shot,
                   QRect(17, memoTop + 1, 260, h - memoTop - 6).translated(chart.bounds.topLeft()),
                   chart.Folder());
    EXPECT_TRUE(read.contains("[Moon]")) << "memo read as: " << read.toStdString();
    // (tesseract drops a bracket or a colon now and then.)
    EXPECT_TRUE(read.contains(QRegularExpression("Distance\\W{0,2}Geo\\W{0,3}\\d{6}\\s?Km")))
        << "memo read as: " << read.toStdString();

    // F1: the key help at the top-left corner of the screen, all of it on the
    // screen (a window manager left alone puts it where it finds room, at the
    // bottom edge).
    chart.x.Run({"windowfocus", "--sync", chart.window});
    chart.x.Run({"key", "F1"});
    QStringList help;
    ASSERT_TRUE(WaitFor([&] { return !(help = chart.x.Visible("^KeyHelp$")).isEmpty(); }, 10000));
    QRect at;
    EXPECT_TRUE(WaitFor([&] { return (at = chart.x.Geometry(help[0])).topLeft() == QPoint(0, 0); },
                        5000))
        << at.x() << "," << at.y();
    EXPECT_TRUE(QRect(0, 0, 1600, 1000).contains(at)) << at.width() << "x" << at.height();
}
