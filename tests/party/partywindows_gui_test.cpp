// The three party windows on the offscreen platform: the settings window's
// modes, OK and Cancel, the file it keeps; the commander's rows, names, files
// and log; the folder window's refusal of a volume that is not ready and its
// Cancel. Expected names and bytes are written out by hand.
#include "controls/Clock.h"
#include "controls/Framelabel.h"
#include "party/Partyshape.h"
#include "party/Qvcommander.h"
#include "party/Qvdir.h"
#include "party/Qvsetparty.h"
#include "Partytest.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

namespace {

namespace fs = std::filesystem;
constexpr TColor kRed = RGBColor(255, 0, 0);
constexpr TColor kDark = RGBColor(128, 0, 0);
constexpr TColor kDarker = RGBColor(64, 0, 0);
constexpr TColor kBlack = 0;
constexpr double kPi = 3.14159265358979323846;

std::vector<std::string> Names(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void Press(QWidget* w, Qt::MouseButton b = Qt::LeftButton) {
    QTest::mousePress(w, b, {}, QPoint(5, 5));
    QTest::mouseRelease(w, b, {}, QPoint(5, 5));
}

class PartyWindows : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("partygui_" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        std::ofstream(dir / "StarParty.dat").close(); // as the start-up leaves it
    }
    void TearDown() override {
        SetClock(nullptr);
        fs::remove_all(dir);
    }
    // A settings window on dir with its messages and "COM" calls recorded.
    std::unique_ptr<TfrmSetParty> SetParty() {
        auto w = std::make_unique<TfrmSetParty>(dir.string());
        w->Ask = [this](int, const std::string& t) {
            asked.push_back(t);
            return 10003;
        };
        w->ShowCommand = [this](bool v) { com = v; };
        w->LoadSettings();
        // Start-up tells the chart window about "COM" once, from the file.
        startCom = com;
        com.reset();
        return w;
    }
    fs::path dir;
    std::vector<std::string> asked;
    std::optional<bool> com, startCom;
};

} // namespace

TEST_F(PartyWindows, SettingsCancelKeepsOkStoresAndComFollowsTheMode) {
    auto w = SetParty();
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(startCom, false);
    w->show();
    EXPECT_EQ(w->windowTitle().toStdString(), "Setting Star Party");
    // Mode 1: only "Disconnect" lit, both groups off.
    EXPECT_EQ(w->flbPartyMode[0]->GetCB(), kDark);
    EXPECT_EQ(w->flbPartyMode[0]->GetFontColor(), kRed);
    EXPECT_EQ(w->flbPartyMode[2]->GetCB(), kBlack);
    EXPECT_EQ(w->flbPartyMode[2]->GetFontColor(), kDark);
    EXPECT_TRUE(w->flbSetDir->GetLK());
    EXPECT_EQ(w->shpFrame1->GetBrush(), kBlack);
    EXPECT_FALSE(w->edtParty[0]->isVisible());
    EXPECT_EQ(TfrmSetParty::TextColor(w->labMbr[0]), kDark);

    // Receiver: the folder group only. Commander: both.
    Press(w->flbPartyMode[1]);
    EXPECT_FALSE(w->flbSetDir->GetLK());
    EXPECT_EQ(w->shpFrame1->GetPen(), kRed);
    EXPECT_EQ(w->shpFrame1->GetBrush(), kDarker);
    EXPECT_EQ(w->shpFrame2->GetBrush(), kBlack);
    EXPECT_FALSE(w->edtParty[0]->isVisible());
    Press(w->flbPartyMode[2]);
    EXPECT_TRUE(w->edtParty[19]->isVisible());
    EXPECT_EQ(TfrmSetParty::TextColor(w->labNote2), kRed);
    EXPECT_EQ(w->shpULine[19]->GetPen(), kRed);
    w->edtParty[0]->setText("S000001");
    w->edtParty[19]->setText("S000020");

    Press(w->flbCancel);
    EXPECT_FALSE(w->isVisible());
    EXPECT_FALSE(com.has_value());
    EXPECT_EQ(w->Stored, TPartySettings());
    w->show();
    EXPECT_EQ(w->DialogMode(), 1);
    EXPECT_EQ(w->edtParty[0]->text(), "");

    Press(w->flbPartyMode[2]);
    w->edtParty[0]->setText("S000001");
    w->edtParty[19]->setText("S000020");
    Press(w->flbOk);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(com, true);
    EXPECT_EQ(w->Stored.Mode, 3);
    EXPECT_EQ(w->Stored.Ids[0], "S000001");

    // A receiver needs its own ID (and only it shows the input); then modes
    // 1 and 2 hide "COM" but keep the IDs, which show again in mode 3.
    w->show();
    EXPECT_FALSE(w->edtOwnId->isVisible());
    Press(w->flbPartyMode[1]);
    EXPECT_TRUE(w->edtOwnId->isVisible());
    Press(w->flbOk);
    EXPECT_TRUE(w->isVisible());
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_NE(asked[0].find("own ID"), std::string::npos) << asked[0];
    asked.clear();
    w->edtOwnId->setText("S0/0099");
    Press(w->flbOk);
    EXPECT_EQ(asked.size(), 1u);
    asked.clear();
    w->edtOwnId->setText("S000099");
    for (int mode : {2, 1}) {
        w->show();
        Press(w->flbPartyMode[mode - 1]);
        Press(w->flbOk);
        EXPECT_EQ(w->Stored.OwnId, "S000099");
        EXPECT_EQ(com, false);
        EXPECT_EQ(w->Stored.Mode, mode);
        EXPECT_EQ(w->Stored.Ids[19], "S000020");
    }
    // The button of the mode already chosen changes nothing.
    w->show();
    Press(w->flbPartyMode[0]);
    EXPECT_EQ(w->DialogMode(), 1);
    Press(w->flbPartyMode[2]);
    EXPECT_EQ(w->edtParty[19]->text(), "S000020");
    Press(w->flbOk);

    // A restart reads back what OK stored.
    auto again = SetParty();
    EXPECT_EQ(again->Stored, w->Stored);
    EXPECT_EQ(again->Stored.Mode, 3);
    EXPECT_EQ(startCom, true);
    EXPECT_TRUE(asked.empty());
}

TEST_F(PartyWindows, SettingsRefuseIdsThatAreNoFileNameAndMoveByKeys) {
    auto w = SetParty();
    w->show();
    Press(w->flbPartyMode[2]);
    for (QString bad : {"../x", "a/b", "a\nb", "......."}) {
        asked.clear();
        w->edtParty[4]->setText(bad);
        Press(w->flbOk);
        ASSERT_EQ(asked.size(), 1u) << bad.toStdString();
        EXPECT_NE(asked[0].find("participant 5 "), std::string::npos) << asked[0];
        EXPECT_TRUE(w->isVisible());
        EXPECT_FALSE(com.has_value());
        EXPECT_EQ(w->Stored, TPartySettings());
    }
    // The refused ID is also no ID in a mode that hides the inputs.
    Press(w->flbPartyMode[0]);
    asked.clear();
    Press(w->flbOk);
    EXPECT_EQ(asked.size(), 1u);

    w->edtParty[4]->setText("S5");
    Press(w->flbPartyMode[2]);
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    w->edtParty[0]->setFocus();
    auto key = [](Qt::Key k) { QTest::keyClick(QApplication::focusWidget(), k); };
    key(Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), w->edtParty[1]);
    key(Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), w->edtParty[2]);
    key(Qt::Key_Up);
    key(Qt::Key_Up);
    key(Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), w->edtParty[19]);
    key(Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), w->edtParty[0]);
    // Escape closes the window without a change: the typed S5 is not kept.
    key(Qt::Key_Escape);
    EXPECT_FALSE(w->isVisible());
    EXPECT_NE(w->Stored.Ids[4], "S5");
}

TEST_F(PartyWindows, DamagedSettingsFileIsReportedOnceAndReadAsFarAsValid) {
    std::ofstream(dir / "StarParty.dat", std::ios::trunc) << "Mode=3\nFolder=/srv/party/\n"
                                                             "ID01=S1\nID02=a/b\nID03=S3\n";
    auto w = SetParty();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_NE(asked[0].find("StarParty.dat"), std::string::npos);
    EXPECT_NE(asked[0].find("line 4"), std::string::npos) << asked[0];
    EXPECT_EQ(w->Stored.Mode, 3);
    EXPECT_EQ(w->Stored.Folder, "/srv/party/");
    EXPECT_EQ(w->Stored.Ids[0], "S1");
    EXPECT_EQ(w->Stored.Ids[2], "");
    // OK writes a sound file: the next start reads it without a word.
    w->show();
    EXPECT_EQ(w->ShownFolder(), "/srv/party/");
    Press(w->flbOk);
    asked.clear();
    auto again = SetParty();
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(again->Stored, w->Stored);
}

TEST_F(PartyWindows, CommanderRowsWriteNamedFilesAndTheLogKeepsThreeLines) {
    TPartySettings party;
    party.Ids[0] = "S000123";
    party.Ids[1] = "  ";
    party.Ids[10] = "B";
    party.Folder = dir.string() + "/";
    TPartyView view;
    view.Ra = (5 + 35 / 60.0 + 17.3 / 3600) * 15 * kPi / 180;
    view.Dec = -(5 + 23 / 60.0 + 28.4 / 3600) * kPi / 180;
    view.ObjKind = 4, view.ObjNo = 41, view.Scale = 1500;
    TfrmCommander w;
    w.Party = &party;
    w.View = [&] { return view; };
    int beeps = 0;
    w.Beep = [&] { ++beeps; };
    SetClock(std::make_unique<TFixedClock>(LocalMs(2001, 5, 9, 21, 30, 45)));
    fs::remove(dir / "StarParty.dat");
    w.show();
    EXPECT_EQ(w.RowColor(0), kRed);
    EXPECT_EQ(w.RowColor(1), kDark);
    EXPECT_EQ(w.RowColor(19), kDark);
    EXPECT_EQ(w.labParty[10]->text(), "B");

    // A row without an ID does nothing at all.
    Press(w.flbSync[1]);
    Press(w.flbStop[19], Qt::RightButton);
    EXPECT_TRUE(Names(dir).empty());
    EXPECT_EQ(beeps, 0);
    EXPECT_EQ(w.labNaviMes->text(), "");

    // Every mouse button sends; the sequence runs across rows within a second.
    Press(w.flbSync[0], Qt::RightButton);
    Press(w.flbGoto[10], Qt::MiddleButton);
    Press(w.flbStop[0]);
    EXPECT_EQ(Names(dir),
              (std::vector<std::string>{"B-200105092130451.pty", "S000123-200105092130450.pty",
                                        "S000123-200105092130452.pty"}));
    EXPECT_EQ(ReadAll(dir / "B-200105092130451.pty"), "OBJECT , 4 , 41\r\nGOTO\r\n");
    EXPECT_EQ(ReadAll(dir / "S000123-200105092130452.pty"), "STOP\r\n");
    EXPECT_EQ(ReadAll(dir / "S000123-200105092130450.pty").substr(0, 53),
              "CENTER , 05h35m17.3s , -5.23m28.4s\r\nOBJECT , 4 , 41\r\n");
    EXPECT_EQ(w.labNaviMes->text(), "SYNC S000123\nGOTO B\nSTOP S000123");
    static_cast<TFixedClock&>(Clock()).Advance(1000);
    Press(w.flbSync[10]);
    EXPECT_TRUE(fs::exists(dir / "B-200105092130460.pty"));
    EXPECT_EQ(w.labNaviMes->text(), "GOTO B\nSTOP S000123\nSYNC B");
    EXPECT_EQ(beeps, 4);

    // A folder that is gone, and an ID that slipped past the settings: the
    // log says what failed, nothing is written elsewhere, the beep stays.
    party.Folder = (dir / "gone").string() + "/";
    Press(w.flbStop[0]);
    EXPECT_EQ(w.Log().Lines().back().rfind("STOP S000123 failed: ", 0), 0u)
        << w.Log().Lines().back();
    party.Folder = (dir / "sub").string() + "/";
    fs::create_directories(dir / "sub");
    party.Ids[2] = "../x";
    w.hide();
    w.show();
    Press(w.flbGoto[2]);
    EXPECT_EQ(w.Log().Lines().back().rfind("GOTO ../x failed: ", 0), 0u);
    EXPECT_TRUE(fs::is_empty(dir / "sub"));
    EXPECT_EQ(Names(dir).size(), 5u);
    EXPECT_EQ(beeps, 6);
}

TEST_F(PartyWindows, FolderWindowRefusesAVolumeThatIsNotReadyAndCancelRestores) {
    fs::create_directories(dir / "volA" / "x" / "y");
    fs::create_directories(dir / "volA" / "z");
    fs::create_directories(dir / "volB");
    fs::create_directories(dir / "volC" / "share");
    const std::string a = (dir / "volA").string(), b = (dir / "volB").string(),
                      c = (dir / "volC").string();
    TfrmDir w;
    w.ListVolumes = [&] {
        return std::vector<TVolume>{{a, "DATA", ""}, {b, "", "server:/export"}, {c, "", ""}};
    };
    std::vector<std::string> probed;
    w.Ready = [&](const std::string& root, std::string& why) {
        probed.push_back(root);
        why = "Drive not ready";
        return root != b;
    };
    w.Ask = [this](int, const std::string& t) {
        asked.push_back(t);
        return 10003;
    };
    w.SetFolder(a + "/x");
    w.show();
    EXPECT_EQ(w.dcbKyoyu->itemText(0).toStdString(), a + "  [DATA]");
    EXPECT_EQ(w.dcbKyoyu->itemText(1).toStdString(), b + "  (server:/export)");
    EXPECT_EQ(w.dcbKyoyu->currentIndex(), 0);
    // The open path, then the folders inside the current one.
    ASSERT_EQ(w.dlbKyoyu->count(), 3);
    EXPECT_EQ(w.dlbKyoyu->item(2)->data(Qt::UserRole).toString().toStdString(), a + "/x/y");

    w.dcbKyoyu->setCurrentIndex(1);
    EXPECT_EQ(asked, std::vector<std::string>{"Drive not ready"});
    EXPECT_EQ(w.dcbKyoyu->currentIndex(), 0);
    EXPECT_EQ(w.Folder(), a + "/x");
    w.dcbKyoyu->setCurrentIndex(2);
    EXPECT_EQ(w.Folder(), c);
    EXPECT_EQ(probed, (std::vector<std::string>{a, b, c}));
    w.dlbKyoyuChange(c + "/share");
    w.dcbKyoyu->setCurrentIndex(0);
    emit w.dlbKyoyu->itemActivated(w.dlbKyoyu->item(1)); // "x" under the root
    emit w.dlbKyoyu->itemActivated(w.dlbKyoyu->item(2)); // then "y"
    EXPECT_EQ(w.Folder(), a + "/x/y");
    EXPECT_TRUE(w.labPath->text().endsWith("/volA/x/y")) << w.labPath->text().toStdString();

    Press(w.flbCancel);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.Folder(), a + "/x");
    EXPECT_EQ(w.dcbKyoyu->currentIndex(), 0);

    // A path too long for its line is shortened in the middle, handed back whole.
    std::string deep = a;
    for (int k = 0; k < 12; ++k) {
        deep += "/folder_with_a_long_name_" + std::to_string(k);
    }
    fs::create_directories(deep);
    w.show();
    w.dlbKyoyuChange(deep);
    const std::string shown = w.labPath->text().toStdString();
    EXPECT_NE(shown.find("/.../"), std::string::npos) << shown;
    EXPECT_EQ(shown.substr(shown.size() - 27), "/folder_with_a_long_name_11");
    EXPECT_LE(QFontMetrics(w.labPath->font()).horizontalAdvance(w.labPath->text()),
              TfrmDir::kPathWidth);
    Press(w.flbOk);
    EXPECT_EQ(w.Folder(), deep);
    // Opening at a folder whose volume does not answer leaves everything.
    EXPECT_FALSE(w.SetFolder(b + "/"));
    EXPECT_EQ(w.Folder(), deep);
    EXPECT_TRUE(w.SetFolder(a + "/z/"));
    EXPECT_EQ(w.Folder(), a + "/z");
}

TEST_F(PartyWindows, SetTakesTheFolderWindowsFolderWithASlash) {
    fs::create_directories(dir / "share" / "inner");
    const std::string share = (dir / "share").string();
    TfrmDir folder;
    folder.ListVolumes = [&] { return std::vector<TVolume>{{dir.string(), "", ""}}; };
    folder.Ready = [](const std::string&, std::string&) { return true; };
    folder.SetFolder(share);
    auto w = SetParty();
    w->Dir = &folder;
    w->show();
    Press(w->flbPartyMode[1]);
    // Move inside the folder window, then Cancel: the folder of the moment it
    // was shown comes back.
    QTimer::singleShot(0, [&] {
        folder.dlbKyoyuChange(share + "/inner");
        Press(folder.flbCancel);
    });
    Press(w->flbSetDir);
    EXPECT_EQ(w->ShownFolder(), share + "/");
    QTimer::singleShot(0, [&] {
        folder.dlbKyoyuChange(share + "/inner");
        Press(folder.flbOk);
    });
    Press(w->flbSetDir);
    EXPECT_EQ(w->ShownFolder(), share + "/inner/");
    w->edtOwnId->setText("R1");
    Press(w->flbOk);
    EXPECT_EQ(w->Stored.Folder, share + "/inner/");
    EXPECT_EQ(w->Stored.Mode, 2);
}

TEST_F(PartyWindows, EscapeClosesTheCommander) {
    TPartySettings party;
    party.Folder = dir.string() + "/";
    TfrmCommander w;
    w.Party = &party;
    w.View = [] { return TPartyView{}; };
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &w,
                    Qt::Key_Escape);
    EXPECT_FALSE(w.isVisible());
}
