// The chart window's find field on the offscreen platform, driven by keys and
// the mouse as a user drives it: opening from any area, suggestions, choosing,
// a text that matches nothing, and the keyboard going back where it was.
#include "app/Qvfind.h"
#include "app/Qvsky.h"
#include "catalog/Clsnebula.h"
#include "catalog/Clsstar.h"
#include "controls/Clock.h"
#include "controls/Focuscontrol.h"
#include "controls/Selgrid.h"
#include "minor/Minorplace.h"
#include "render/Clsatlas.h"
#include "render/Clshayami.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <thread>
#include <memory>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;

class FindField : public ::testing::Test {
protected:
    void SetUp() override {
        auto clock = std::make_unique<TFixedClock>();
        clock->SetUt(2024, 1, 15, 12, 0, 0);
        SetClock(std::move(clock));
        sky_ = std::make_unique<TfrmQVSKY>(QCoreApplication::applicationDirPath().toStdString(),
                                           QSize(1024, 768));
        sky_->SetTimers([] { return std::make_unique<TSteppedTimer>(); });
        sky_->CurrentSite = [](double& lng, double& lat, double& h, double& d, double& s,
                               std::string& n) {
            lng = 139.7 * kDeg, lat = 35.7 * kDeg, h = 40, d = 9, s = 0;
            n = "Tokyo";
        };
        sky_->resize(1000, 760);
        sky_->show();
        sky_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(sky_.get()));
        ASSERT_GT(sky_->Star->Count, 0);
    }
    void TearDown() override {
        sky_.reset();
        SetClock(nullptr);
    }
    void Type(const char* text) {
        QTest::keyClicks(sky_->edtFind->Edit(), text);
        QApplication::processEvents();
    }
    QWidget* Focused() const { return QApplication::focusWidget(); }

    std::unique_ptr<TfrmQVSKY> sky_;
};

} // namespace

TEST_F(FindField, CtrlFTypeEnterShowsAndCentresWithOneHistoryEntry) {
    sky_->SetFocusArea(2);
    ASSERT_EQ(Focused(), sky_->grdSearch);
    QTest::keyClick(Focused(), Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(sky_->edtFind->isVisible());
    EXPECT_EQ(Focused(), sky_->edtFind->Edit());

    Type("betelg");
    ASSERT_FALSE(sky_->edtFind->Hits().empty());
    EXPECT_EQ(sky_->edtFind->Hits()[0].Name, "Betelgeuse");
    EXPECT_GT(sky_->edtFind->height(), TFindField::kEditHeight); // the list shows

    const int before = sky_->History.Index();
    QTest::keyClick(sky_->edtFind->Edit(), Qt::Key_Return);
    EXPECT_FALSE(sky_->edtFind->isVisible());
    EXPECT_TRUE(sky_->memInfo->toPlainText().contains("Betelgeuse"));
    // Betelgeuse at 5h55m10s +7°24'25" (J2000).
    EXPECT_NEAR(sky_->CenterRa, (5 + 55 / 60.0 + 10.3 / 3600) * 15 * kDeg, 2e-5);
    EXPECT_NEAR(sky_->CenterDec, (7 + 24 / 60.0 + 25 / 3600.0) * kDeg, 2e-5);
    EXPECT_EQ(sky_->PicKind, 2);
    EXPECT_EQ(sky_->History.Index(), before + 1);
    // The keyboard is back in the search list, which had it.
    EXPECT_EQ(sky_->FocusArea, 2);
    EXPECT_EQ(Focused(), sky_->grdSearch);
}

TEST_F(FindField, SlashInTheAtlasAndAClickOnASuggestion) {
    sky_->SetFocusArea(5);
    QTest::keyClick(sky_->fcsAtlas, Qt::Key_Slash);
    ASSERT_TRUE(sky_->edtFind->isVisible());
    Type("ngc 7000");
    ASSERT_FALSE(sky_->edtFind->Hits().empty());
    const TFindIndex::THit first = sky_->edtFind->Hits()[0];
    EXPECT_EQ(first.Name, "NGC 7000 North America Nebula");
    QTest::keyClick(sky_->edtFind->Edit(), Qt::Key_Enter);
    EXPECT_TRUE(sky_->memInfo->toPlainText().contains("NGC7000"));
    EXPECT_EQ(sky_->PicKind, 4);
    EXPECT_EQ(Focused(), sky_->fcsAtlas);

    // "/" in the search list is no find key there.
    sky_->SetFocusArea(2);
    QTest::keyClick(sky_->grdSearch, Qt::Key_Slash);
    EXPECT_FALSE(sky_->edtFind->isVisible());

    // Down marks the second suggestion, Up the first again; a click on a row
    // chooses it.
    sky_->OpenFind();
    sky_->edtFind->Edit()->clear();
    Type("m4");
    ASSERT_GE(sky_->edtFind->Hits().size(), 3u);
    // M4 first, with its common name when the name list gives one.
    EXPECT_EQ(sky_->edtFind->Hits()[0].Name.substr(0, 3), "M4 ");
    QTest::keyClick(sky_->edtFind->Edit(), Qt::Key_Down);
    QTest::keyClick(sky_->edtFind->Edit(), Qt::Key_Down);
    EXPECT_EQ(sky_->edtFind->Current(), 2);
    QTest::keyClick(sky_->edtFind->Edit(), Qt::Key_Up);
    EXPECT_EQ(sky_->edtFind->Current(), 1);
    const TFindIndex::THit second = sky_->edtFind->Hits()[1];
    const QPoint row2(40, TFindField::kEditHeight + 1 + TFindField::kRowHeight + 8);
    EXPECT_EQ(sky_->edtFind->RowAt(row2), 1);
    QTest::mouseClick(sky_->edtFind, Qt::LeftButton, {}, row2);
    EXPECT_FALSE(sky_->edtFind->isVisible());
    EXPECT_EQ(sky_->PicKind, second.Kind == TFindIndex::DeepSky ? 4 : sky_->PicKind);
    EXPECT_NEAR(sky_->CenterRa, second.Ra, 1e-6);
}

TEST_F(FindField, TheChosenObjectIsMarkedAndShownWithTheDeepSkyLayerOff) {
    ASSERT_EQ(sky_->Switch[5], 0); // the deep-sky layer is off at start
    auto cyanAt = [&](int dx, int dy) {
        const TDIB& d = sky_->Atlas->GetDib();
        const int x = sky_->Atlas->GetViewWidth() / 2 + dx, y = sky_->Atlas->GetViewHeight() / 2 + dy;
        return d.Idx2Col(d.GetIdx(x, y)) == RGB(0, 255, 255);
    };
    auto nebulaPixels = [&] {
        const TDIB& d = sky_->Atlas->GetDib();
        int n = 0;
        for (int y = 0; y < sky_->Atlas->GetViewHeight(); ++y)
            for (int x = 0; x < sky_->Atlas->GetViewWidth(); ++x)
                n += d.Idx2Col(d.GetIdx(x, y)) == RGB(104, 24, 112);
        return n;
    };
    sky_->OpenFind();
    Type("M31");
    QTest::keyClick(sky_->edtFind->Edit(), Qt::Key_Return);
    EXPECT_EQ(sky_->Atlas->GetTargetKind(), 4);
    EXPECT_TRUE(cyanAt(-12, -12) && cyanAt(12, 12));
    EXPECT_GT(nebulaPixels(), 0); // M31 and its label
    EXPECT_TRUE(sky_->Hayami->HasTarget());
    // The site's information: no object chosen, no mark.
    sky_->ShowObjectInfo(0, 0);
    EXPECT_FALSE(cyanAt(-12, -12) || cyanAt(12, 12));
    EXPECT_EQ(nebulaPixels(), 0);
    EXPECT_FALSE(sky_->Hayami->HasTarget());
}

TEST_F(FindField, NoMatchSaysSoAndChangesNothingEscapeGivesTheKeyboardBack) {
    sky_->SetFocusArea(3);
    QTest::keyClick(Focused(), Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(sky_->edtFind->isVisible());
    const double ra = sky_->CenterRa, dec = sky_->CenterDec;
    const int history = sky_->History.Index();
    const QString memo = sky_->memInfo->toPlainText();
    Type("xyzzy");
    EXPECT_TRUE(sky_->edtFind->Hits().empty());
    EXPECT_TRUE(sky_->edtFind->NoMatch());
    EXPECT_EQ(sky_->edtFind->height(), TFindField::kEditHeight);
    QTest::keyClick(sky_->edtFind->Edit(), Qt::Key_Return);
    EXPECT_TRUE(sky_->edtFind->isVisible()); // still there, still saying so
    EXPECT_EQ(sky_->CenterRa, ra);
    EXPECT_EQ(sky_->CenterDec, dec);
    EXPECT_EQ(sky_->History.Index(), history);
    EXPECT_EQ(sky_->memInfo->toPlainText(), memo);

    // Emptied, the line says nothing.
    sky_->edtFind->Edit()->clear();
    QApplication::processEvents();
    EXPECT_FALSE(sky_->edtFind->NoMatch());

    QTest::keyClick(sky_->edtFind->Edit(), Qt::Key_Escape);
    EXPECT_FALSE(sky_->edtFind->isVisible());
    EXPECT_EQ(sky_->FocusArea, 3);
    EXPECT_EQ(Focused(), sky_->fcsDisp);

    // Opened again, the last text is there, selected: typing replaces it.
    sky_->OpenFind();
    EXPECT_EQ(sky_->edtFind->Edit()->selectedText(), sky_->edtFind->Edit()->text());
}

TEST_F(FindField, BodiesCarryTheirMagnitudeOfTheMoment) {
    const auto hits = sky_->FindSuggestions("jupiter");
    ASSERT_FALSE(hits.empty());
    EXPECT_EQ(hits[0].Kind, TFindIndex::Body);
    EXPECT_TRUE(hits[0].HasMag);
    EXPECT_LT(hits[0].Mag, -1.5); // Jupiter is never fainter than -1.6
    EXPECT_GT(hits[0].Mag, -3.0);
    const auto io = sky_->FindSuggestions("io");
    ASSERT_FALSE(io.empty());
    EXPECT_EQ(io[0].Kind, TFindIndex::Satellite);
    EXPECT_NEAR(io[0].Mag, 5.0, 0.6);
}

TEST_F(FindField, CometsAndAsteroidsOfTheFolderMinor) {
    // The element files beside Option/ are read on a thread of their own; the field offers
    // their bodies once they are in, and choosing one shows its memo and centres the atlas.
    const std::string dir = testing::TempDir() + "quenlira-find-minor";
    std::filesystem::create_directories(dir + "/Minor");
    std::ofstream(dir + "/Minor/CometEls.txt")
        << "0001P         1986 02  9.4589  0.574761  0.967882  111.8623   59.0920  162.1921  "
           "20250621   4.0  6.0  1P/Halley                                                MPC 75324\n";
    sky_->UserFolder = dir;
    sky_->LoadMinorBodies();
    for (int k = 0; k < 500 && !sky_->MinorBodies(); ++k)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_NE(sky_->MinorBodies(), nullptr);
    ASSERT_EQ(sky_->MinorBodies()->Bodies.size(), 1u)
        << (sky_->MinorBodies()->Errors.empty() ? "" : sky_->MinorBodies()->Errors[0]);

    const auto direct = sky_->FindSuggestions("1P");
    ASSERT_FALSE(direct.empty());
    EXPECT_EQ(direct[0].Name, "1P/Halley"); // named exactly: before "1 Psc"
    EXPECT_LE(int(direct.size()), TFindField::kMaxRows);
    sky_->OpenFind();
    Type("halley");
    ASSERT_FALSE(sky_->edtFind->Hits().empty());
    const TFindIndex::THit hit = sky_->edtFind->Hits().back();
    EXPECT_EQ(hit.Name, "1P/Halley");
    EXPECT_EQ(hit.KindText, "comet");
    EXPECT_TRUE(hit.HasMag);
    sky_->ChooseFound(hit);
    EXPECT_TRUE(sky_->memInfo->toPlainText().startsWith("[Comet] 1P/Halley Mag:"))
        << sky_->memInfo->toPlainText().toStdString();
    TMinorPlace p;
    p.Compute(sky_->MinorBodies()->Bodies[0], sky_->Mjd.GetMJD());
    ASSERT_TRUE(p.Valid);
    EXPECT_NEAR(sky_->CenterRa, p.RaJ2000, 1e-9);
    EXPECT_NEAR(sky_->CenterDec, p.DecJ2000, 1e-9);
    std::filesystem::remove_all(dir);
}

TEST_F(FindField, GoingElsewhereClosesIt) {
    sky_->SetFocusArea(5);
    sky_->OpenFind();
    Type("vega");
    ASSERT_TRUE(sky_->edtFind->isVisible());
    sky_->SetFocusArea(4); // a click in the information, F8
    EXPECT_FALSE(sky_->edtFind->isVisible());
    EXPECT_EQ(sky_->edtFind->Edit()->text(), "vega");
}
