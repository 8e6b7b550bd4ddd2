// The chart window and the observing lists: the selected object as a list
// or the log names it, checked against published J2000 places, and a list's
// object found again and centred by name, by the chart's identity or by
// its place.
#include "app/Qvsky.h"
#include "app/Qvskylog.h"
#include "catalog/Clsnebula.h"
#include "controls/Clock.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

constexpr double kDeg = 3.14159265358979323846 / 180.0;

int Record(const TNebula& n, const std::string& messier) {
    for (int i = 0; i < n.Count; ++i)
        if (n.GetMessier(i) == messier) return i;
    return -1;
}

class ChartAndLists : public ::testing::Test {
protected:
    void SetUp() override {
        auto clock = std::make_unique<TFixedClock>();
        clock->SetUt(2026, 12, 8, 13, 0, 0);
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
        ASSERT_TRUE(QTest::qWaitForWindowExposed(sky_.get()));
        ASSERT_GT(sky_->Nebula->Count, 0);
        QApplication::processEvents();
        sky_->BuildFindIndex();
    }
    void TearDown() override {
        sky_.reset();
        SetClock(nullptr);
    }
    std::unique_ptr<TfrmQVSKY> sky_;
};

} // namespace

TEST_F(ChartAndLists, SelectedDeepSkyObjectIsNamedAndPlacedAsPublished) {
    const int m42 = Record(*sky_->Nebula, "M42");
    ASSERT_GE(m42, 0);
    sky_->ShowObjectInfo(4, m42);
    TLogObject o;
    ASSERT_TRUE(SelectedLogObject(*sky_, o));
    EXPECT_EQ(o.Name, "M42");
    EXPECT_EQ(o.Type, "GN");
    EXPECT_EQ(o.Constellation, "Ori");
    // The Orion Nebula: 05h35m17s, -05d23m28s (J2000).
    EXPECT_NEAR(*o.Ra / kDeg, (5 + 35 / 60.0 + 17 / 3600.0) * 15, 0.05);
    EXPECT_NEAR(*o.Dec / kDeg, -(5 + 23 / 60.0 + 28 / 3600.0), 0.05);
    EXPECT_EQ(o.Kind, 4);
    EXPECT_EQ(o.Number, m42);

    // Nothing selected: nothing to list.
    sky_->ShowObjectInfo(99, 0);
    EXPECT_FALSE(SelectedLogObject(*sky_, o));
}

TEST_F(ChartAndLists, ListObjectIsCentredByNameThenIdentityThenPlace) {
    // By name: M31 at 00h42m44.3s, +41d16m09s, whatever identity it carries.
    TLogObject m31;
    m31.Name = "M31";
    m31.Kind = 4;
    m31.Number = 0;
    CentreChartOn(*sky_, m31);
    EXPECT_NEAR(sky_->CenterRa / kDeg, (42 / 60.0 + 44.3 / 3600) * 15, 0.05);
    EXPECT_NEAR(sky_->CenterDec / kDeg, 41 + 16 / 60.0 + 9 / 3600.0, 0.05);
    EXPECT_EQ(sky_->PicKind, 4);

    // A name the chart does not know, with the chart's identity.
    const int m13 = Record(*sky_->Nebula, "M13");
    ASSERT_GE(m13, 0);
    TLogObject renamed;
    renamed.Name = "Great Hercules cluster (my name)";
    renamed.Kind = 4;
    renamed.Number = m13;
    CentreChartOn(*sky_, renamed);
    EXPECT_NEAR(sky_->CenterDec / kDeg, 36 + 27 / 60.0 + 35 / 3600.0, 0.05); // 16h41m41s +36d27m35s
    EXPECT_EQ(sky_->PicIndex, m13);

    // An object from another program's list: only its place.
    TLogObject other;
    other.Name = "Abell 426";
    other.Ra = 49.95 * kDeg;
    other.Dec = 41.51 * kDeg;
    CentreChartOn(*sky_, other);
    EXPECT_DOUBLE_EQ(sky_->CenterRa, 49.95 * kDeg);
    EXPECT_DOUBLE_EQ(sky_->CenterDec, 41.51 * kDeg);
}
