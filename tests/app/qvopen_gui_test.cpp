// The opening window on a real window in an empty folder: the files of a
// first start, the site list, Add/Edit/Delete through the real site editor,
// choosing with OK and Enter, the 100-site limit, an empty list, damaged
// settings files and the fatal-error report. File contents are checked at
// offsets worked out by hand from the settings layout.
#include "app/Errhandler.h"
#include "app/Qvopen.h"
#include "controls/Flatscroll.h"
#include "controls/Framelabel.h"
#include "controls/Keyinp.h"
#include "controls/Selgrid.h"
#include "plan/Clshorizonsites.h"
#include "site/Qvlocation.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <limits>
#include <map>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "Fulldisk.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

int32_t IntAt(const QByteArray& b, int off) {
    int32_t v;
    std::memcpy(&v, b.constData() + off, 4);
    return v;
}

double DoubleAt(const QByteArray& b, int off) {
    double v;
    std::memcpy(&v, b.constData() + off, 8);
    return v;
}

std::string NameAt(const QByteArray& b, int site) {
    return std::string(b.constData() + 0x1F0 + 80 * (site - 1));
}

struct Asked {
    int buttons;
    std::string text;
};

class OpeningWindow : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    void Create() {
        frm = std::make_unique<TfrmQVOpen>(dir.path().toStdString());
        frm->Ask = [this](int b, const std::string& t) {
            asked.push_back({b, t});
            return answer;
        };
        frm->Terminate = [this] { terminated = true; };
        frm->ShowChart = [this] { ++chartShown; };
        frm->Editor = &editor;
        editor.Ask = [](int, const std::string&) { return 10001; };
        // The editor is driven as the user would: shown, typed into, then OK.
        frm->ShowEditor = [this] {
            editor.show();
            if (inEditor) inEditor();
            if (editor.isVisible()) editor.close();
        };
    }
    void Show() {
        frm->show();
        frm->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frm.get()));
    }
    void Click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(5, 5)); }
    // Rows are 22 pixels high under a 22-pixel title row.
    void ClickRow(int pageRow) {
        QTest::mouseClick(frm->grdLocation, Qt::LeftButton, {}, QPoint(40, 22 * pageRow + 8));
    }
    QString File(const char* name) const { return dir.filePath(name); }
    std::vector<std::string> ListNames() const {
        std::vector<std::string> v;
        for (int r = 1; r <= frm->grdLocation->GetMaxRow(); ++r)
            v.push_back(frm->grdLocation->GetTextA(r, 1));
        return v;
    }
    void WriteRecord(const QByteArray& b) {
        QFile f(File("Sysinfo.dat"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(b);
    }

    QTemporaryDir dir;
    std::unique_ptr<TfrmQVOpen> frm;
    TfrmLocation editor;
    std::function<void()> inEditor;
    std::vector<Asked> asked;
    int answer = 10001;
    int chartShown = 0;
    bool terminated = false;
};

} // namespace

TEST_F(OpeningWindow, FirstStartInAnEmptyFolder) {
    Create();
    QByteArray b = ReadFile(File("Sysinfo.dat"));
    ASSERT_EQ(b.size(), 13096);
    EXPECT_EQ(IntAt(b, 0x1EC), 3);
    EXPECT_EQ(IntAt(b, 0x2F50), 0);
    EXPECT_EQ(NameAt(b, 1), "Old Greenwich Observatory");
    ASSERT_TRUE(QFileInfo::exists(File("StarParty.dat")));
    EXPECT_EQ(QFileInfo(File("StarParty.dat")).size(), 0);
    EXPECT_FALSE(QFileInfo::exists(File("Option"))); // made when first shown

    Show();
    EXPECT_TRUE(QFileInfo(File("Option")).isDir());
    EXPECT_EQ(frm->windowTitle().toStdString(), "Quenlira III");
    EXPECT_EQ(frm->grdLocation->GetTextA(0, 1), "Location");
    EXPECT_EQ(ListNames(),
              (std::vector<std::string>{"Old Greenwich Observatory", "Top of Mt.LasCampanas",
                                        "MusashinoPark,Tokyo"}));
    EXPECT_EQ(frm->grdLocation->GetTag(3), 3);
    EXPECT_EQ(frm->grdLocation->GetSelRow(), 1); // last chosen 0: the list clamps to row 1
    EXPECT_FALSE(frm->imgTitle->pixmap().isNull());
    EXPECT_EQ(frm->imgTitle->pixmap().size(), QSize(400, 100));
    EXPECT_EQ(frm->flsLocation->GetMin(), 1);
    EXPECT_EQ(frm->flsLocation->GetMax(), 3);
    EXPECT_EQ(frm->flsLocation->GetValue(), 1);
    EXPECT_TRUE(asked.empty());

    // An existing file and folder are left as they are at the next start.
    QFile party(File("StarParty.dat"));
    ASSERT_TRUE(party.open(QIODevice::WriteOnly));
    party.write("PARTY\r\n");
    party.close();
    frm.reset();
    Create();
    EXPECT_EQ(ReadFile(File("StarParty.dat")), QByteArray("PARTY\r\n"));
    EXPECT_EQ(ReadFile(File("Sysinfo.dat")), b);
}

TEST_F(OpeningWindow, AddEditDeleteThroughTheSiteEditor) {
    Create();
    Show();
    // Add: the editor opens in add mode; the user types a name and presses OK.
    inEditor = [this] {
        EXPECT_EQ(editor.Mode, 1);
        QTest::keyClicks(editor.edtName, "Nobeyama");
        editor.kinDiffUT->SetTx("+9.0");
        editor.kinSummer->SetTx("2");
        QTest::mouseClick(editor.flbOk, Qt::LeftButton, {}, QPoint(5, 5));
    };
    Click(frm->flbAdd);
    EXPECT_EQ(ListNames().size(), 4u);
    EXPECT_EQ(frm->grdLocation->GetTextA(4, 1), "Nobeyama");
    EXPECT_EQ(frm->grdLocation->GetSelRow(), 4);
    QByteArray b = ReadFile(File("Sysinfo.dat"));
    ASSERT_EQ(b.size(), 13096);
    EXPECT_EQ(IntAt(b, 0x1EC), 4);
    EXPECT_EQ(NameAt(b, 4), "Nobeyama");
    // Site 4's add-mode defaults: 0 deg 06 min E, 52 deg 13 min N, 30 m.
    EXPECT_NEAR(DoubleAt(b, 0x2130 + 24), 6.0 / 60.0 * kPi / 180.0, 1e-15);
    EXPECT_NEAR(DoubleAt(b, 0x2450 + 24), (52.0 + 13.0 / 60.0) * kPi / 180.0, 1e-15);
    EXPECT_DOUBLE_EQ(DoubleAt(b, 0x2770 + 24), 30.0);
    EXPECT_DOUBLE_EQ(DoubleAt(b, 0x2A90 + 24), 9.0);
    EXPECT_EQ(IntAt(b, 0x2DB0 + 12), 2);

    // Add cancelled: nothing changes.
    inEditor = [this] { editor.close(); };
    Click(frm->flbAdd);
    EXPECT_EQ(ReadFile(File("Sysinfo.dat")), b);
    EXPECT_EQ(ListNames().size(), 4u);

    // Edit the second site: the editor shows its values; the new name is stored.
    ClickRow(2);
    EXPECT_EQ(frm->grdLocation->GetSelRow(), 2);
    inEditor = [this] {
        EXPECT_EQ(editor.Mode, 2);
        EXPECT_EQ(editor.edtName->text().toStdString(), "Top of Mt.LasCampanas");
        EXPECT_EQ(editor.kinLngD->GetTx(), "-70");
        EXPECT_EQ(editor.kinLngM->GetTx(), "42.00");
        editor.edtName->setText("Las Campanas");
        QTest::mouseClick(editor.flbOk, Qt::LeftButton, {}, QPoint(5, 5));
    };
    Click(frm->flbEdit);
    EXPECT_EQ(frm->grdLocation->GetTextA(2, 1), "Las Campanas");
    b = ReadFile(File("Sysinfo.dat"));
    EXPECT_EQ(NameAt(b, 2), "Las Campanas");
    EXPECT_NEAR(DoubleAt(b, 0x2138), -70.7 * kPi / 180.0, 1e-12);
    EXPECT_DOUBLE_EQ(DoubleAt(b, 0x2A98), -4.0);

    // Delete asks first; "No" keeps the site.
    answer = 10002;
    Click(frm->flbDelete);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].buttons, 1);
    EXPECT_EQ(asked[0].text, "Delete Ok?");
    EXPECT_EQ(ReadFile(File("Sysinfo.dat")), b);
    answer = 10001;
    Click(frm->flbDelete);
    EXPECT_EQ(ListNames(), (std::vector<std::string>{"Old Greenwich Observatory",
                                                     "MusashinoPark,Tokyo", "Nobeyama"}));
    b = ReadFile(File("Sysinfo.dat"));
    EXPECT_EQ(IntAt(b, 0x1EC), 3);
    EXPECT_EQ(NameAt(b, 2), "MusashinoPark,Tokyo");
    EXPECT_DOUBLE_EQ(DoubleAt(b, 0x2778), 372.0); // Tokyo's height moved up into slot 2
}

TEST_F(OpeningWindow, ChooseWithOkAndWithEnter) {
    Create();
    Show();
    ClickRow(3);
    QTest::mousePress(frm->flbOk, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(chartShown, 1);
    EXPECT_FALSE(frm->isVisible());
    EXPECT_FALSE(frm->FirstStart);
    EXPECT_EQ(frm->CurrentSite.Name, "MusashinoPark,Tokyo");
    EXPECT_DOUBLE_EQ(frm->CurrentSite.DiffUT, 9.0);
    EXPECT_EQ(frm->SysInfo.GetLastSite(), 3);
    EXPECT_EQ(IntAt(ReadFile(File("Sysinfo.dat")), 0x2F50), 3);
    QTest::mouseRelease(frm->flbOk, Qt::LeftButton, {}, QPoint(5, 5));

    // Shown again (modally from the chart in the program): Enter chooses
    // and closes, without changing the last chosen row.
    Show();
    EXPECT_EQ(frm->grdLocation->GetSelRow(), 3); // the current row survives
    ClickRow(1);
    frm->grdLocation->setFocus();
    QTest::keyClick(frm->grdLocation, Qt::Key_Return);
    EXPECT_EQ(frm->result(), QDialog::Accepted);
    EXPECT_FALSE(frm->isVisible());
    EXPECT_EQ(frm->CurrentSite.Name, "Old Greenwich Observatory");
    EXPECT_EQ(chartShown, 1);
    EXPECT_EQ(frm->SysInfo.GetLastSite(), 3);

    // Escape leaves a change of site with the site as it was.
    Show();
    ClickRow(2);
    frm->grdLocation->setFocus();
    QTest::keyClick(frm->grdLocation, Qt::Key_Escape);
    EXPECT_EQ(frm->result(), QDialog::Rejected);
    EXPECT_FALSE(frm->isVisible());
    EXPECT_EQ(frm->CurrentSite.Name, "Old Greenwich Observatory");

    // The chart window saves the record when it closes; a new start then
    // preselects the row chosen with OK, not the one chosen with Enter.
    frm->SaveRecord();
    EXPECT_EQ(IntAt(ReadFile(File("Sysinfo.dat")), 0x2F50), 3);
    frm.reset();
    Create();
    Show();
    EXPECT_EQ(frm->grdLocation->GetSelRow(), 3);
}

TEST_F(OpeningWindow, HundredSitesRefuseAdd) {
    Create();
    frm->SysInfo.NewFile();
    for (int i = 4; i <= 100; ++i)
        ASSERT_TRUE(frm->SysInfo.AddSite({"Site " + std::to_string(i), 0, 0, 0, 0, 0}));
    frm->SaveRecord();
    QByteArray before = ReadFile(File("Sysinfo.dat"));
    Show();
    EXPECT_EQ(frm->grdLocation->GetMaxRow(), 100);
    EXPECT_EQ(frm->flsLocation->GetMax(), 100);
    bool editorShown = false;
    inEditor = [&] { editorShown = true; };
    Click(frm->flbAdd);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].buttons, 2);
    EXPECT_EQ(asked[0].text, "Can not add");
    EXPECT_FALSE(editorShown);
    EXPECT_EQ(ReadFile(File("Sysinfo.dat")), before);

    // The scroll bar moves the list: a press on its down arrow scrolls one
    // row; the list's selection is pulled into view and becomes current.
    QWidget* bar = frm->flsLocation;
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(8, bar->height() - 4));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(8, bar->height() - 4));
    EXPECT_EQ(frm->flsLocation->GetValue(), 2);
    EXPECT_EQ(frm->grdLocation->GetDspTop(), 2);
    EXPECT_EQ(frm->grdLocation->GetSelRow(), 2);
    EXPECT_EQ(frm->CurrentRow, 2);
    // And the list moves the bar: End selects row 100 and scrolls to it.
    frm->grdLocation->setFocus();
    QTest::keyClick(frm->grdLocation, Qt::Key_End);
    EXPECT_EQ(frm->grdLocation->GetSelRow(), 100);
    EXPECT_EQ(frm->flsLocation->GetValue(), frm->grdLocation->GetDspTop());
    EXPECT_GT(frm->flsLocation->GetValue(), 90);
    EXPECT_EQ(frm->CurrentRow, 100);
}

TEST_F(OpeningWindow, DeletingTheOnlySiteLeavesAnEmptyList) {
    Create();
    frm->SysInfo.NewFile();
    frm->SysInfo.DeleteSite(3);
    frm->SysInfo.DeleteSite(2);
    frm->SysInfo.SetLastSite(1);
    frm->SaveRecord();
    Show();
    Click(frm->flbDelete);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(frm->grdLocation->GetMaxRow(), 0);
    EXPECT_EQ(IntAt(ReadFile(File("Sysinfo.dat")), 0x1EC), 0);
    // The stored last chosen row is left alone.
    EXPECT_EQ(IntAt(ReadFile(File("Sysinfo.dat")), 0x2F50), 1);

    // Now OK, Enter, Edit and Delete do nothing.
    bool editorShown = false;
    inEditor = [&] { editorShown = true; };
    QTest::mousePress(frm->flbOk, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(frm->flbOk, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::keyClick(frm->grdLocation, Qt::Key_Return);
    Click(frm->flbEdit);
    Click(frm->flbDelete);
    EXPECT_EQ(chartShown, 0);
    EXPECT_TRUE(frm->isVisible());
    EXPECT_FALSE(editorShown);
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_TRUE(frm->CurrentSite.Name.empty());

    // Add works again from an empty list.
    inEditor = [this] {
        editor.edtName->setText("Home");
        QTest::mouseClick(editor.flbOk, Qt::LeftButton, {}, QPoint(5, 5));
    };
    Click(frm->flbAdd);
    EXPECT_EQ(ListNames(), (std::vector<std::string>{"Home"}));
}

TEST_F(OpeningWindow, DamagedSettingsFileIsReadAsFarAsValid) {
    Create();
    QByteArray good = ReadFile(File("Sysinfo.dat"));
    // Cut inside the third name: three names (the last cut short), no positions.
    WriteRecord(good.left(0x1F0 + 160 + 5));
    frm.reset();
    Create();
    Show();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].buttons, 2);
    EXPECT_NE(asked[0].text.find("damaged"), std::string::npos) << asked[0].text;
    EXPECT_EQ(ListNames().size(), 3u);
    EXPECT_EQ(ListNames()[2], "Musas");
    // The damaged file is not rewritten until the user changes something.
    EXPECT_EQ(ReadFile(File("Sysinfo.dat")).size(), 0x1F0 + 165);

    // A site count beyond 100.
    QByteArray bad = good;
    int32_t n = 5000;
    std::memcpy(bad.data() + 0x1EC, &n, 4);
    WriteRecord(bad);
    asked.clear();
    frm.reset();
    Create();
    Show();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(frm->grdLocation->GetMaxRow(), 100);
}

TEST_F(OpeningWindow, FatalErrorIsReportedLoggedAndEndsTheProgram) {
    Create();
    Show();
    frm->AppException(0, "Sysinfo.dat vanished");
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].buttons, 2);
    EXPECT_EQ(asked[0].text, "Error\r\n\r\nErrorNo.0\r\nSysinfo.dat vanished");
    EXPECT_EQ(ReadFile(File("Err3.Log")), QByteArray("0 Sysinfo.dat vanished\n"));
    EXPECT_TRUE(terminated);
    EXPECT_FALSE(frm->isVisible());

    // A settings file removed while the program runs is such an error.
    terminated = false;
    QFile::remove(File("Sysinfo.dat"));
    EXPECT_THROW(frm->Reload(), std::runtime_error);
}

TEST_F(OpeningWindow, FirstStartThatCannotWriteTheSettingsLeavesNoHandlerBehind) {
    // Where "Sysinfo.dat" cannot be made (here it is a link into a folder
    // that does not exist, which blocks even the superuser), creating the
    // window fails; the error handler must not be left pointing at it, or the
    // report of that very error would run on a window that no longer exists.
    ASSERT_TRUE(QFile::link("missing/Sysinfo.dat", File("Sysinfo.dat")));
    EXPECT_THROW(TfrmQVOpen w(dir.path().toStdString()), std::runtime_error);
    EXPECT_FALSE(QFileInfo::exists(File("Sysinfo.dat")));
    EXPECT_FALSE(TApplication::HasErrorHandler());
}

TEST_F(OpeningWindow, AFailedSaveKeepsTheProgramAndTheEditAndSavesLater) {
    // A full disk: OK and Add used to report the error, end the program and
    // lose the site just typed.
    Create();
    Show();
    const QByteArray before = ReadFile(File("Sysinfo.dat"));
    TFullDisk disk;
    ASSERT_TRUE(disk.Full());

    inEditor = [this] {
        QTest::keyClicks(editor.edtName, "Nobeyama");
        QTest::mouseClick(editor.flbOk, Qt::LeftButton, {}, QPoint(5, 5));
    };
    Click(frm->flbAdd);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].buttons, 2);
    EXPECT_EQ(asked[0].text.rfind("The settings could not be saved.", 0), 0u) << asked[0].text;
    EXPECT_NE(asked[0].text.find(std::strerror(EFBIG)), std::string::npos) << asked[0].text;
    EXPECT_FALSE(terminated);
    EXPECT_TRUE(frm->Unsaved());
    EXPECT_EQ(ListNames().back(), "Nobeyama");
    EXPECT_EQ(ReadFile(File("Sysinfo.dat")), before); // the old file, whole
    EXPECT_FALSE(QFileInfo::exists(File("Err3.Log")));

    // The next showing does not read the old file over the edit.
    frm->Reload();
    EXPECT_EQ(ListNames().size(), 4u);
    EXPECT_EQ(asked.size(), 1u); // and asks nothing while it still cannot save

    // Room again: the next showing saves it.
    disk.Room();
    frm->Reload();
    EXPECT_FALSE(frm->Unsaved());
    QByteArray b = ReadFile(File("Sysinfo.dat"));
    ASSERT_EQ(b.size(), 13096);
    EXPECT_EQ(IntAt(b, 0x1EC), 4);
    EXPECT_EQ(NameAt(b, 4), "Nobeyama");
    EXPECT_FALSE(terminated);
}

TEST_F(OpeningWindow, ClosingSavesAnEditThatCouldNotBeSaved) {
    Create();
    Show();
    TFullDisk disk;
    ASSERT_TRUE(disk.Full());
    answer = 10001;
    Click(frm->flbDelete); // site 1 goes, the file cannot take it
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_TRUE(frm->Unsaved());
    // Closing while it still fails says so again ...
    frm->close();
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(asked[2].text, asked[1].text);
    // ... and closing once there is room saves.
    disk.Room();
    Show();
    frm->close();
    EXPECT_FALSE(frm->Unsaved());
    QByteArray b = ReadFile(File("Sysinfo.dat"));
    EXPECT_EQ(IntAt(b, 0x1EC), 2);
    EXPECT_EQ(NameAt(b, 1), "Top of Mt.LasCampanas");
}

TEST_F(OpeningWindow, ImpossibleSiteValuesAreReportedOnceAndReplaced) {
    Create();
    QByteArray b = ReadFile(File("Sysinfo.dat"));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    std::memcpy(b.data() + 0x2130 + 8, &nan, 8);  // site 2 longitude
    std::memcpy(b.data() + 0x2A90 + 16, &inf, 8); // site 3 time difference
    const int32_t summer = std::numeric_limits<int32_t>::min();
    std::memcpy(b.data() + 0x2DB0 + 8, &summer, 4); // site 3 summer time
    const double lat = 2.0;                         // beyond the pole
    std::memcpy(b.data() + 0x2450 + 16, &lat, 8);
    WriteRecord(b);
    frm.reset();
    Create();
    Show();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text, "Sysinfo.dat holds impossible values for site 2 (Top of "
                             "Mt.LasCampanas), 3 (MusashinoPark,Tokyo); they were replaced by "
                             "safe ones.");
    const TSite s2 = frm->SysInfo.GetSite(2), s3 = frm->SysInfo.GetSite(3);
    EXPECT_EQ(s2.Lng, 0.0);
    EXPECT_DOUBLE_EQ(s2.Lat, -0.506145483078355); // the sound values stay
    EXPECT_EQ(s3.DiffUT, 0.0);
    EXPECT_EQ(s3.Summer, 0.0);
    EXPECT_DOUBLE_EQ(s3.Lat, kPi / 2);
    EXPECT_DOUBLE_EQ(s3.Height, 372.0);
    // Once: the next showing reads the same file without asking again.
    frm->hide();
    frm->Reload();
    EXPECT_EQ(asked.size(), 1u);
}

// The horizon file chosen in the site editor lives in Horizons.txt under the
// site's name: a file that is no profile is refused by file and line and the
// old choice stays; a rename takes the file along, Flat and Delete take it away,
// Cancel changes nothing. The user's horizon files are only read.
TEST_F(OpeningWindow, HorizonFileKeptWithTheSite) {
    Create();
    Show();
    const QString good = File("trees.txt"), bad = File("bad.txt");
    const QByteArray badText = "# my garden\n0 5\n90 twenty\n";
    {
        QFile f(good);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("0 5\n90 20\n180 3\n270 8\n");
        QFile g(bad);
        ASSERT_TRUE(g.open(QIODevice::WriteOnly));
        g.write(badText);
    }
    std::vector<std::string> editorSaid;
    editor.Ask = [&editorSaid](int, const std::string& t) {
        editorSaid.push_back(t);
        return 10001;
    };
    std::string pick;
    editor.PickHorizonFile = [&pick](const std::string&) { return pick; };
    auto sides = [this] {
        THorizonSites s;
        std::string why;
        EXPECT_TRUE(s.Load(dir.path().toStdString(), why));
        EXPECT_EQ(why, "");
        return s.Files;
    };
    auto ok = [this] { QTest::mouseClick(editor.flbOk, Qt::LeftButton, {}, QPoint(5, 5)); };
    auto press = [](QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(5, 5)); };

    ClickRow(2);
    inEditor = [&] {
        EXPECT_EQ(editor.edtHorizon->text(), "flat");
        pick = bad.toStdString();
        press(editor.flbHorizon);
        ASSERT_EQ(editorSaid.size(), 1u);
        EXPECT_NE(editorSaid[0].find(bad.toStdString() + ":3: not a pair of numbers"),
                  std::string::npos)
            << editorSaid[0];
        EXPECT_EQ(editorSaid[0].find("flat horizon is used"), std::string::npos);
        EXPECT_EQ(editor.edtHorizon->text(), "flat");
        pick = good.toStdString();
        press(editor.flbHorizon);
        EXPECT_EQ(editor.edtHorizon->text(), good);
        if (const char* shots = std::getenv("QUENLIRA_SHOTS"))
            editor.grab().save(QString(shots) + "/site-editor.png");
        ok();
    };
    Click(frm->flbEdit);
    EXPECT_EQ(sides(), (std::map<std::string, std::string>{
                           {"Top of Mt.LasCampanas", good.toStdString()}}));
    EXPECT_EQ(ReadFile(bad), badText);

    // A rename takes the file along; the editor shows what the site has.
    inEditor = [&] {
        EXPECT_EQ(editor.edtHorizon->text(), good);
        editor.edtName->setText("Las Campanas");
        ok();
    };
    Click(frm->flbEdit);
    EXPECT_EQ(sides(),
              (std::map<std::string, std::string>{{"Las Campanas", good.toStdString()}}));

    // Flat, then Cancel: nothing changes. Flat, then OK: the site has none.
    inEditor = [&] {
        press(editor.flbFlat);
        EXPECT_EQ(editor.edtHorizon->text(), "flat");
        QTest::keyClick(editor.edtName, Qt::Key_Escape);
    };
    Click(frm->flbEdit);
    EXPECT_EQ(sides().size(), 1u);
    inEditor = [&] {
        press(editor.flbFlat);
        ok();
    };
    Click(frm->flbEdit);
    EXPECT_TRUE(sides().empty());

    // A new site with a horizon, then deleted: its line goes with it.
    inEditor = [&] {
        EXPECT_EQ(editor.edtHorizon->text(), "flat");
        QTest::keyClicks(editor.edtName, "Garden");
        pick = good.toStdString();
        press(editor.flbHorizon);
        ok();
    };
    Click(frm->flbAdd);
    EXPECT_EQ(sides(), (std::map<std::string, std::string>{{"Garden", good.toStdString()}}));
    Click(frm->flbDelete);
    EXPECT_TRUE(sides().empty());
    EXPECT_EQ(editorSaid.size(), 1u);
}
