// The chart window's display switches, view memories and option files, on
// the real windows with a temporary folder for the user's files: memories
// stored, cleared and recalled across a restart (with their bytes in the
// settings file), the switch keys, and option files read from the user's
// folder (not from the working directory) into the atlas's markers; and
// Ctrl+S, which saves the charts.
#include "app/Clssysinfo.h"
#include "app/Qvopen.h"
#include "app/Qvsky.h"
#include "controls/Calclock.h"
#include "controls/Clock.h"
#include "controls/Focusarrow.h"
#include "controls/Focuscontrol.h"
#include "controls/Framelabel.h"
#include "controls/Look.h"
#include "catalog/Clsstar.h"
#include "finder/Clsfinder.h"
#include "render/Clsatlas.h"
#include "render/Clshayami.h"
#include "render/Clspng.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cmath>
#include <csignal>
#include <cstring>
#include <fstream>
#include <iterator>
#include <utility>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;

class ChartProgram : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        folder_ = dir_.path().toStdString();
        SetTime(2026, 3, 20);
    }
    void TearDown() override {
        Stop();
        SetClock(nullptr);
    }
    void SetTime(int y, int m, int d) {
        auto clock = std::make_unique<TFixedClock>();
        clock->SetUt(y, m, d, 12, 0, 0);
        SetClock(std::move(clock));
    }
    // The opening window and the chart window wired as the program wires them.
    void Start() {
        timers_.clear();
        open_ = std::make_unique<TfrmQVOpen>(folder_);
        open_->Ask = [this](int, const std::string& t) {
            asked_.push_back(t);
            return 10003;
        };
        open_->Reload();
        // The catalogues where the build put them; the user's files apart.
        sky_ = std::make_unique<TfrmQVSKY>(QCoreApplication::applicationDirPath().toStdString(),
                                           QSize(1024, 768));
        sky_->UserFolder = folder_;
        sky_->LoadRings();
        sky_->SetTimers([this] {
            auto t = std::make_unique<TSteppedTimer>();
            timers_.push_back(t.get());
            return t;
        });
        sky_->clkCal->SetRepeatTimer(std::make_unique<TSteppedTimer>());
        // Tokyo, 9 hours ahead of UT.
        sky_->CurrentSite = [](double& lng, double& lat, double& h, double& d, double& s,
                               std::string& n) {
            lng = 139.7 * kDeg, lat = 35.7 * kDeg, h = 40, d = 9, s = 0, n = "Tokyo";
        };
        sky_->Ask = open_->Ask;
        TfrmQVOpen* open = open_.get();
        sky_->LoadMemories = [open](TfrmQVSKY::TMemory(&mem)[10]) {
            TfrmQVSKY::MemoriesFrom(open->SysInfo, mem);
        };
        sky_->SaveMemories = [open](const TfrmQVSKY::TMemory(&mem)[10], std::string& why) {
            TfrmQVSKY::MemoriesInto(open->SysInfo, mem);
            return open->SysInfo.Save(open->Folder, why);
        };
        sky_->resize(1000, 700);
        sky_->show();
        QApplication::processEvents();
    }
    void Stop() {
        if (sky_) sky_->close();
        sky_.reset();
        open_.reset();
    }
    void Pass(int ms) {
        for (TSteppedTimer* t : timers_)
            t->Advance(ms);
    }
    void Key(QWidget* w, int key, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyPress(w, Qt::Key(key), m);
        QTest::keyRelease(w, Qt::Key(key), m);
    }
    void Click(QWidget* w, Qt::MouseButton b = Qt::LeftButton) {
        QTest::mouseClick(w, b, Qt::NoModifier, QPoint(4, 4));
    }
    // Moves the view without a key: a click on the planisphere would do the same.
    void View(double ra, double dec, int scale) {
        sky_->CenterRa = ra;
        sky_->CenterDec = dec;
        sky_->Scale = scale;
        sky_->RedrawAtlas(true);
    }
    std::string Bytes(const char* name) const {
        std::ifstream in(folder_ + "/" + name, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    QTemporaryDir dir_;
    std::string folder_;
    std::vector<TSteppedTimer*> timers_;
    std::vector<std::string> asked_;
    std::unique_ptr<TfrmQVOpen> open_;
    std::unique_ptr<TfrmQVSKY> sky_;
};

template <typename T> T At(const std::string& bytes, std::size_t off) {
    T v{};
    std::memcpy(&v, bytes.data() + off, sizeof v);
    return v;
}

} // namespace

// 2026-03-20 12:00 UT is MJD 61119.5 (21:00 in Tokyo).
TEST_F(ChartProgram, MemoriesAreStoredClearedAndRecalledAcrossARestart) {
    Start();
    QWidget* atlas = sky_->fcsAtlas;
    // In auto drive: Insert arms storing, keypad 3 stores without a moment.
    View(2.0, 0.3, 2000);
    Key(atlas, Qt::Key_Insert);
    EXPECT_EQ(sky_->MemMode, 0);
    EXPECT_EQ(sky_->labMemSet->GetFontColor(), 255);
    Key(atlas, Qt::Key_3, Qt::KeypadModifier);
    EXPECT_EQ(sky_->MemMode, 2);
    EXPECT_EQ(sky_->labMemSet->GetFontColor(), 128);
    EXPECT_EQ(sky_->labMem[3]->GetFontColor(), 0); // just stored: black on red
    EXPECT_EQ(sky_->labMem[3]->GetCB(), 255);
    EXPECT_EQ(sky_->labMem[4]->GetFontColor(), kMemoryDigit);
    EXPECT_EQ(sky_->labMem[2]->GetCB(), 64);

    // Stepped one minute on: the "Set" label's left button and slot 7's label.
    sky_->SetFocusArea(1);
    Key(sky_->clkCal, Qt::Key_Up);
    Pass(300);
    ASSERT_FALSE(sky_->AutoDrive);
    View(4.5, -0.6, 45000);
    // A redraw puts it back among the others, in use.
    EXPECT_EQ(sky_->labMem[3]->GetFontColor(), kMemoryDigit);
    EXPECT_EQ(sky_->labMem[3]->GetCB(), 128);
    Click(sky_->labMemSet);
    Click(sky_->labMem[7]);
    EXPECT_EQ(sky_->FocusArea, 5);
    Click(sky_->labMemSet);
    Click(sky_->labMem[9]);
    // Right button arms clearing ("Res"); pressed again it disarms.
    Click(sky_->labMemSet, Qt::RightButton);
    EXPECT_EQ(sky_->labMemSet->GetCap(), "Res");
    Click(sky_->labMemSet, Qt::MiddleButton);
    EXPECT_EQ(sky_->labMemSet->GetCap(), "Set");
    EXPECT_EQ(sky_->MemMode, 2);
    // Delete and keypad 9 clear slot 9.
    Key(atlas, Qt::Key_Delete);
    EXPECT_EQ(sky_->labMemSet->GetCap(), "Res");
    Key(atlas, Qt::Key_9, Qt::KeypadModifier);
    EXPECT_EQ(sky_->labMemSet->GetCap(), "Set");
    EXPECT_EQ(sky_->labMem[9]->GetCB(), 64);
    Stop();

    // The settings file holds the slots at their offsets.
    const std::string rec = Bytes("Sysinfo.dat");
    ASSERT_EQ(rec.size(), 13096u);
    EXPECT_EQ(At<int32_t>(rec, 0x00 + 4 * 3), 1);
    EXPECT_EQ(At<int32_t>(rec, 0x00 + 4 * 7), 1);
    EXPECT_EQ(At<int32_t>(rec, 0x00 + 4 * 9), 0);
    EXPECT_EQ(At<double>(rec, 0x28 + 8 * 3), 2.0);
    EXPECT_EQ(At<double>(rec, 0x78 + 8 * 7), -0.6);
    EXPECT_EQ(At<double>(rec, 0xC8 + 8 * 3), 0.0);
    EXPECT_NEAR(At<double>(rec, 0xC8 + 8 * 7), 61119.5 + 1.0 / 1440, 1e-9);
    EXPECT_EQ(At<int32_t>(rec, 0x118 + 4 * 3), 2000);
    EXPECT_EQ(At<int32_t>(rec, 0x118 + 4 * 7), 45000);

    // A day later the program starts again.
    SetTime(2026, 3, 21);
    Start();
    atlas = sky_->fcsAtlas;
    EXPECT_EQ(sky_->labMem[7]->GetCB(), 128);
    EXPECT_EQ(sky_->labMem[9]->GetCB(), 64);
    const int entries = sky_->History.Index();
    // Slot 7 brings back its moment, in stepped time.
    Key(atlas, Qt::Key_7, Qt::KeypadModifier);
    EXPECT_FALSE(sky_->AutoDrive);
    EXPECT_NEAR(sky_->Atlas->GetMJD(), 61119.5 + 1.0 / 1440, 1e-9);
    EXPECT_EQ(sky_->clkCal->GetDate(), "2026/03/20");
    EXPECT_EQ(sky_->clkCal->GetTime(), "21:01");
    EXPECT_EQ(sky_->clkCal->GetBPCol(), 64);
    EXPECT_EQ(sky_->labTimeDiff->text(), "Before 23h59m");
    EXPECT_EQ(sky_->Atlas->GetCenterRa(), 4.5);
    EXPECT_EQ(sky_->Atlas->GetScale(), 45000);
    EXPECT_EQ(sky_->History.Index(), entries + 1);
    // Slot 3 was stored in auto drive: it shows the sky of now, not of then.
    Key(atlas, Qt::Key_3, Qt::KeypadModifier);
    EXPECT_TRUE(sky_->AutoDrive);
    EXPECT_NEAR(sky_->Atlas->GetMJD(), 61120.5, 1e-9);
    EXPECT_NEAR(sky_->Hayami->MJD, 61120.5, 1e-9);
    EXPECT_EQ(sky_->clkCal->GetDate(), "2026/03/21");
    EXPECT_EQ(sky_->labTimeDiff->text(), "Auto Drive");
    EXPECT_EQ(sky_->clkCal->GetPCol(), 128);
    EXPECT_EQ(sky_->Atlas->GetCenterDec(), 0.3);
    EXPECT_EQ(sky_->Atlas->GetScale(), 2000);
    // An empty slot does nothing; digits off the keypad are not memories.
    const int recomputes = sky_->Recomputes;
    Key(atlas, Qt::Key_9, Qt::KeypadModifier);
    Key(atlas, Qt::Key_7);
    EXPECT_EQ(sky_->Recomputes, recomputes);
    EXPECT_EQ(sky_->Scale, 2000);
    EXPECT_TRUE(asked_.empty());
}

TEST_F(ChartProgram, SwitchesFollowEnterUpDownAndClicks) {
    Start();
    Key(sky_->fcsAtlas, Qt::Key_F7);
    ASSERT_EQ(sky_->FocusArea, 3);
    ASSERT_TRUE(sky_->fcsDisp->hasFocus());
    const int entries = sky_->History.Index();
    Key(sky_->fcsDisp, Qt::Key_Up); // already on the first switch
    EXPECT_EQ(sky_->SwitchCursor, 1);
    for (int i = 0; i < 6; ++i)
        Key(sky_->fcsDisp, Qt::Key_Down);
    ASSERT_EQ(sky_->SwitchCursor, 7); // "Grid"
    EXPECT_EQ(sky_->fcaDisp->y(), sky_->labCNTL[6]->y() + 2);
    Key(sky_->fcsDisp, Qt::Key_Return);
    EXPECT_EQ(sky_->Switch[6], 0);
    EXPECT_EQ(sky_->Atlas->GetSwitch(7), 0);
    EXPECT_EQ(sky_->labCNTL[6]->GetFontColor(), 128);
    Key(sky_->fcsDisp, Qt::Key_Enter);
    EXPECT_EQ(sky_->Atlas->GetSwitch(7), 1);
    EXPECT_EQ(sky_->labCNTL[6]->GetFontColor(), 255);
    Key(sky_->fcsDisp, Qt::Key_Down);
    Key(sky_->fcsDisp, Qt::Key_Down); // "Realistic" is the last
    EXPECT_EQ(sky_->SwitchCursor, 8);
    EXPECT_EQ(sky_->fcaDisp->y(), sky_->labCNTL[7]->y() + 2);
    // "Realistic" redraws the object picture too: a star's sprite shrinks.
    ASSERT_GT(sky_->Star->Count, 0);
    sky_->DrawObjectPicture(2, "star", 1, 0);
    auto picture = [this] {
        const TDIB& d = sky_->ObjDib;
        return std::string(reinterpret_cast<const char*>(d.GetBits()),
                           d.GetStride() * d.GetHeight());
    };
    const std::string before = picture();
    Key(sky_->fcsDisp, Qt::Key_Return);
    EXPECT_EQ(sky_->Atlas->GetSwitch(8), 0);
    EXPECT_NE(picture(), before);
    // A click on "Bayer" moves the cursor there and turns it on.
    sky_->SetFocusArea(5);
    Click(sky_->labCNTL[2]);
    EXPECT_EQ(sky_->FocusArea, 3);
    EXPECT_EQ(sky_->SwitchCursor, 3);
    EXPECT_EQ(sky_->fcaDisp->y(), sky_->labCNTL[2]->y() + 2);
    EXPECT_EQ(sky_->Atlas->GetSwitch(3), 1);
    EXPECT_EQ(sky_->labCNTL[2]->GetFontColor(), 255);
    // Switches change the view only: no history entries.
    EXPECT_EQ(sky_->History.Index(), entries);
}

// Two files in the user's folder, while the working directory and the
// catalogues are elsewhere; one object of the second file is damaged.
TEST_F(ChartProgram, OptionFilesBesideTheProgramBecomeAtlasMarkers) {
    ASSERT_NE(QDir::currentPath().toStdString(), folder_);
    QDir(dir_.path()).mkdir("Option");
    const std::string colours = ",YELLOW,WHITE,WHITE,WHITE,WHITE,WHITE";
    std::ofstream(folder_ + "/Option/comet.opt", std::ios::binary)
        << "Comet 2026\r\n"
        << "1,1,1,053432,+220052,RED,Jan 1,2,1" << colours << "\r\n"
        << "2,1,0,054000,+230000,RED,Jan 5,3,1" << colours << "\r\n"
        << "3,2,0,054600,+240000,LIME,Jan 9,0,1" << colours << "\r\n";
    std::ofstream(folder_ + "/Option/stars.opt", std::ios::binary)
        << "Doubles\r\n"
        << "1,4,1,0545OO,+210000,AQUA,bad,0,0" << colours << "\r\n"
        << "2,3,1,060000,-054523,AQUA,Delta,0,0" << colours << "\r\n";
    const char* shots = std::getenv("QUENLIRA_SHOT_DIR");
    Start();
    EXPECT_EQ(sky_->OptCount, 2);
    EXPECT_EQ(sky_->OptTitle, (std::vector<std::string>{"Comet 2026", "Doubles"}));
    ASSERT_EQ(sky_->Atlas->GetMarkerCount(), 4);
    const TMarker& jan1 = sky_->Atlas->GetMarker(1);
    EXPECT_EQ(jan1.id, 1);
    EXPECT_NEAR(jan1.ra, 83.63333333333334 * kDeg, 1e-12);   // 5h34m32s
    EXPECT_NEAR(jan1.dec, 22.014444444444443 * kDeg, 1e-12); // +22 00' 52"
    const TMarker& delta = sky_->Atlas->GetMarker(4);
    EXPECT_EQ(delta.id, 2);
    EXPECT_EQ(delta.name, "Delta");
    EXPECT_NEAR(delta.ra, 90.0 * kDeg, 1e-12);
    // One message after showing, and the same in the error log.
    ASSERT_EQ(asked_.size(), 1u);
    const std::string why =
        "stars.opt: object 1 (no. 1) left out: word 4 \"0545OO\" is not a right ascension hhmmss";
    EXPECT_NE(asked_[0].find(why), std::string::npos);
    EXPECT_EQ(Bytes("Err3.Log"), "0 " + why + "\n");

    // Shown once the list marks the files: the track's first marker at the
    // centre of the chart, its line running to the next one.
    const int shown[] = {1, 2, 0};
    sky_->Atlas->SetMarkerList(shown);
    View(jan1.ra, jan1.dec, 3000);
    TDIB& dib = sky_->Atlas->GetDib();
    const int cx = sky_->shpAtlas.width() / 2, cy = sky_->shpAtlas.height() / 2;
    const RGBQUAD centre = dib.GetColTbl()[dib.GetBits()[cy * dib.GetStride() + cx]];
    EXPECT_EQ(centre.rgbRed, 255);
    EXPECT_EQ(centre.rgbGreen, 0);
    if (shots) {
        std::string error;
        WritePng(dib, std::string(shots) + "/option_markers.png", error);
    }
}

// Ctrl+S: the charts as the window shows them, to a PNG or a PDF page, read
// back with Qt and with poppler.
TEST_F(ChartProgram, CtrlSSavesTheChartsAsPngOrPdf) {
    Start();
    View(5.58 * 15 * kDeg, -1 * kDeg, 1000);
    QString filter, path;
    int asked = 0;
    sky_->ChooseSaveFile = [&](QString& f) {
        ++asked;
        f = filter;
        return path;
    };
    auto save = [&](const QString& file, int which) {
        filter = TfrmQVSKY::SaveFilters()[which];
        path = dir_.filePath(file);
        sky_->activateWindow();
        QApplication::setActiveWindow(sky_.get());
        QTest::keyClick(sky_->fcsAtlas, Qt::Key_S, Qt::ControlModifier);
        QApplication::processEvents();
    };
    const TDIB& atlas = sky_->Atlas->GetDib();
    auto colour = [](const TDIB& d, int x, int y) {
        const RGBQUAD& q = d.GetColTbl()[d.GetIdx(x, y)];
        return qRgb(q.rgbRed, q.rgbGreen, q.rgbBlue);
    };

    // Both side by side, the ending added: the atlas as far as its panel
    // shows it, every pixel as the raster holds it; the planisphere likewise
    // but for the ring that marks the atlas's centre on it.
    save("both", 0);
    ASSERT_EQ(asked, 1);
    QImage both(dir_.filePath("both.png"));
    ASSERT_FALSE(both.isNull());
    const QSize shown = sky_->shpAtlas.size();
    ASSERT_EQ(both.width(), TfrmQVSKY::kLeftWidth + shown.width());
    ASSERT_EQ(both.height(), std::max(TfrmQVSKY::kHayamiSize, shown.height()));
    int wrong = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            wrong += (both.pixel(TfrmQVSKY::kLeftWidth + x, y) & 0xFFFFFF) !=
                     (colour(atlas, x, y) & 0xFFFFFF);
    const QPoint ring = sky_->PointerAt - sky_->shpHayami.topLeft();
    for (int y = 0; y < TfrmQVSKY::kHayamiSize; ++y)
        for (int x = 0; x < TfrmQVSKY::kHayamiSize; ++x)
            if (!sky_->PointerShown || std::abs(x - ring.x()) > 6 || std::abs(y - ring.y()) > 6)
                wrong += (both.pixel(x, y) & 0xFFFFFF) != (colour(sky_->Hayami->DIB, x, y) & 0xFFFFFF);
    EXPECT_EQ(wrong, 0);
    save("plani.png", 2);
    EXPECT_EQ(QImage(dir_.filePath("plani.png")).size(), QSize(280, 280));

    // Twice as large: drawn anew, not the pixels doubled. The same sky (the
    // centre pixel's colour region matches), with finer detail: many 2x2
    // blocks are not of one colour.
    sky_->SaveChoice.Enlarge = 2;
    save("big.png", 1);
    sky_->SaveChoice.Enlarge = 1;
    const QImage big(dir_.filePath("big.png"));
    ASSERT_EQ(big.size(), shown * 2);
    int mixed = 0;
    for (int y = 0; y + 1 < big.height(); y += 2)
        for (int x = 0; x + 1 < big.width(); x += 2)
            mixed += big.pixel(x, y) != big.pixel(x + 1, y + 1) ||
                     big.pixel(x, y) != big.pixel(x + 1, y);
    EXPECT_GT(mixed, 500);

    // A name typed with the other ending is written as that ending says.
    save("typed.pdf", 2);
    EXPECT_FALSE(QFileInfo::exists(dir_.filePath("typed.pdf.png")));
    QFile typed(dir_.filePath("typed.pdf"));
    ASSERT_TRUE(typed.open(QIODevice::ReadOnly));
    EXPECT_EQ(typed.read(5), QByteArray("%PDF-"));

    // The atlas as a page of the paper chosen, drawn as vectors: the title
    // and legend as text, the star names and constellation names as text,
    // and no picture on the page.
    sky_->SaveChoice.Paper = "a3";
    sky_->SaveChoice.Landscape = false;
    save("atlas.pdf", 4);
    const QString pdf = dir_.filePath("atlas.pdf");
    ASSERT_TRUE(QFileInfo::exists(pdf));
    auto run = [](const QString& cmd, const QStringList& args) {
        QProcess p;
        p.start(cmd, args);
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput());
    };
    if (!QStandardPaths::findExecutable("pdfinfo").isEmpty()) {
        const QString info = run("pdfinfo", {pdf});
        EXPECT_TRUE(info.contains("Pages:           1")) << info.toStdString();
        // A3 upright: 297 x 420 mm.
        EXPECT_TRUE(info.contains("Page size:       841.89 x 1190.55 pts (A3)"))
            << info.toStdString();
        const QString text = run("pdftotext", {pdf, "-"});
        for (const char* want : {"Tokyo", "2026-03-20 21:00 local time (UTC+9)", "12:00 UT",
                                 "RA 5h35m", "Limiting magnitude", "Magnitude", "Scale",
                                 "Betelgeuse", "Rigel", "Ori"})
            EXPECT_TRUE(text.contains(want)) << want << " not in " << text.toStdString();
        EXPECT_EQ(run("pdfimages", {"-list", pdf}).split('\n', Qt::SkipEmptyParts).size(), 2)
            << "a picture on the page";
    }

    // Cancelled: nothing written. Unwritable: said so.
    const int files = QDir(dir_.path()).entryList(QDir::Files).size();
    save("", 0);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files).size(), files);
    asked_.clear();
    filter = TfrmQVSKY::SaveFilters()[1];
    path = "/nonexistent-folder/x.png";
    QTest::keyClick(sky_->fcsAtlas, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_NE(asked_[0].find("Can not write /nonexistent-folder/x.png"), std::string::npos);
}

// Field-of-view rings on the atlas: hidden until Ctrl+R, then drawn about the
// centre at their radii, remembered in Rings.txt across a restart; a list
// with a line that makes no sense keeps the rest and says which line; a
// file that cannot be written is said and the rings still follow the key.
bool Shown(const std::string& rings) {
    std::vector<std::string> problems;
    bool shown = false;
    TFinder::ReadRings(rings, problems, &shown);
    return shown;
}

TEST_F(ChartProgram, RingsShowOnTheAtlasAndAreRemembered) {
    Start();
    View(16.695 * 15 * kDeg, 36.46 * kDeg, 3000);
    EXPECT_FALSE(sky_->RingsShown);
    EXPECT_TRUE(sky_->Atlas->Rings.empty());
    // The ring's colour at `r` pixels left, right, above and below the centre.
    auto sides = [&](double r) {
        const TDIB& atlas = sky_->Atlas->GetDib();
        const int ring = atlas.Col2Idx(RGB(255, 80, 80));
        const int cx = sky_->shpAtlas.width() / 2, cy = sky_->shpAtlas.height() / 2;
        const int d = static_cast<int>(std::lround(r));
        int n = 0;
        for (const auto& [x, y] : {std::pair{cx + d, cy}, std::pair{cx - d, cy},
                                   std::pair{cx, cy + d}, std::pair{cx, cy - d}}) {
            bool here = false;
            for (int k = -1; k <= 1; ++k)
                here = here || atlas.GetIdx(x + (y == cy ? k : 0), y + (x == cx ? k : 0)) == ring;
            n += here;
        }
        return n;
    };
    // A Telrad's 2 and 4 degrees across at scale 3000: radii of 52.4 and 104.7 pixels.
    EXPECT_LE(sides(52.36), 1);
    QTest::keyClick(sky_->fcsAtlas, Qt::Key_R, Qt::ControlModifier);
    EXPECT_TRUE(sky_->RingsShown);
    EXPECT_GE(sides(52.36), 3);
    EXPECT_GE(sides(104.72), 3);
    EXPECT_TRUE(Shown(Bytes("Rings.txt"))) << Bytes("Rings.txt");

    // The list changed: 1.5 degrees and a line that is no field.
    sky_->EditRingsText = [](std::string& text, bool& shown) {
        EXPECT_TRUE(Shown(text)) << "the on/off line is the check box's: " << text;
        text = "# my eyepieces\n1.5\nbig\n";
        shown = true;
        return true;
    };
    asked_.clear();
    sky_->EditRings();
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_NE(asked_[0].find("line 3"), std::string::npos) << asked_[0];
    ASSERT_EQ(sky_->Atlas->Rings.size(), 1u);
    EXPECT_GE(sides(39.27), 3);
    EXPECT_LE(sides(104.72), 1);
    EXPECT_EQ(Bytes("Rings.txt"), "# my eyepieces\n1.5\nbig\n");

    // Across a restart, shown; Ctrl+R hides them and that is kept too.
    Stop();
    Start();
    View(16.695 * 15 * kDeg, 36.46 * kDeg, 3000);
    EXPECT_TRUE(sky_->RingsShown);
    EXPECT_GE(sides(39.27), 3);
    QTest::keyClick(sky_->fcsAtlas, Qt::Key_R, Qt::ControlModifier);
    EXPECT_LE(sides(39.27), 1);
    EXPECT_EQ(Bytes("Rings.txt"), "off\n# my eyepieces\n1.5\nbig\n");

    // Rings.txt a folder: nothing read, and Ctrl+R says the change is not kept.
    Stop();
    ASSERT_TRUE(QDir(dir_.path()).remove("Rings.txt"));
    ASSERT_TRUE(QDir(dir_.path()).mkdir("Rings.txt"));
    Start();
    View(16.695 * 15 * kDeg, 36.46 * kDeg, 3000);
    asked_.clear();
    QTest::keyClick(sky_->fcsAtlas, Qt::Key_R, Qt::ControlModifier);
    EXPECT_TRUE(sky_->RingsShown);
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_NE(asked_[0].find("not remembered"), std::string::npos) << asked_[0];
    EXPECT_TRUE(QFileInfo(dir_.filePath("Rings.txt")).isDir());
}

// A save the disk cannot hold says why and leaves the file that was there as
// it was, for a picture and for pages; nothing half-written stays beside it.
// The limit on a file's size stands in for a full disk (tests may run as
// root, whom a folder's permissions do not stop).
TEST_F(ChartProgram, AFailedSaveSaysWhyAndKeepsTheFileThatWasThere) {
    Start();
    View(5.58 * 15 * kDeg, -1 * kDeg, 1000);
    const std::string before = "a chart saved last night\n";
    for (const auto& [name, filter] :
         {std::pair{"keep.png", 0}, std::pair{"keep.pdf", 4}, std::pair{"keep.svg", 6}}) {
        SCOPED_TRACE(name);
        std::ofstream(folder_ + "/" + name, std::ios::binary) << before;
        const QStringList files = QDir(dir_.path()).entryList(QDir::Files);
        rlimit was{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &was), 0);
        const rlimit small{4096, was.rlim_max};
        const auto signal = std::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        std::string why;
        const bool saved =
            sky_->SaveCharts(dir_.filePath(name), TfrmQVSKY::SaveFilters()[filter], why);
        setrlimit(RLIMIT_FSIZE, &was);
        std::signal(SIGXFSZ, signal);
        EXPECT_FALSE(saved);
        EXPECT_NE(why.find("write " + folder_ + "/" + name), std::string::npos) << why;
        EXPECT_NE(why.find("too large"), std::string::npos) << why;
        EXPECT_EQ(Bytes(name), before);
        EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), files);
    }
    // A folder under the name: refused before anything is drawn.
    ASSERT_TRUE(QDir(dir_.path()).mkdir("shot.png"));
    std::string why;
    EXPECT_FALSE(sky_->SaveCharts(dir_.filePath("shot.png"), TfrmQVSKY::SaveFilters()[1], why));
    EXPECT_NE(why.find("a folder has that name"), std::string::npos) << why;
    EXPECT_TRUE(QFileInfo(dir_.filePath("shot.png")).isDir());
}
