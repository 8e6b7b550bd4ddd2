// The message window and the key chart on real (offscreen) windows: widths from the measured
// text, the button places worked out by hand from the window width, the result codes.
#include "app/Qvkeyhelp.h"
#include "app/Qvmes.h"
#include "controls/Framelabel.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <set>

namespace {

void ShowArranged(TfrmQVMes& m, int buttons, const std::string& text) {
    m.SetMes(buttons, text);
    m.show();
    QTest::qWait(1);
}

// Presses a button of the modal window once its loop runs; returns exec()'s outcome.
int PressDuringExec(TfrmQVMes& m, TFrameLabel* button, Qt::MouseButton mouse = Qt::LeftButton) {
    QTimer::singleShot(0, [button, mouse] { QTest::mouseClick(button, mouse, {}, QPoint(5, 5)); });
    return m.exec();
}

} // namespace

TEST(MessageWindow, ShortTextsKeepRoomForTheButtons) {
    TfrmQVMes m;
    // Buttons are 60 wide: Yes/No and OK/Cancel need 60 + 60 + 50, OK alone 60 + 30.
    ShowArranged(m, 1, "Delete Ok?");
    EXPECT_EQ(m.width(), 170);
    EXPECT_TRUE(m.flbYes->isVisible());
    EXPECT_TRUE(m.flbNo->isVisible());
    EXPECT_FALSE(m.flbOk->isVisible());
    EXPECT_EQ(m.flbYes->x(), 85 - 60 - 10);
    EXPECT_EQ(m.flbNo->x(), 85 + 10);
    m.hide();

    ShowArranged(m, 2, "Hi");
    EXPECT_EQ(m.width(), 90);
    EXPECT_EQ(m.flbOk->x(), 45 - 30);
    EXPECT_FALSE(m.flbYes->isVisible()) << "the buttons of the previous message are hidden";
    EXPECT_FALSE(m.flbNo->isVisible());
    m.hide();

    ShowArranged(m, 3, "Go?");
    EXPECT_EQ(m.width(), 170);
    EXPECT_EQ(m.flbOk->x(), 15);
    EXPECT_EQ(m.flbCancel->x(), 95);
    EXPECT_FALSE(m.flbYes->isVisible());
    m.hide();
}

TEST(MessageWindow, LongTextsWidenTheWindow) {
    TfrmQVMes m;
    const std::string text = "Only AutoDrive Mode([NOW]Button) - a message much wider than buttons";
    ShowArranged(m, 2, text);
    // The label's own idea of the room its text needs.
    const int need = m.labMes->sizeHint().width();
    EXPECT_GT(need, 170);
    EXPECT_GE(m.labMes->width(), need);
    EXPECT_EQ(m.width(), m.labMes->width() + 20);
    EXPECT_GE(m.labMes->x(), 10);
    EXPECT_LE(m.labMes->geometry().right(), m.width() - 10);
    EXPECT_EQ(m.flbOk->x(), m.width() / 2 - 30);
    EXPECT_EQ(m.height(), m.labMes->height() + 40);
    EXPECT_EQ(m.shpFrame, QRect(0, 0, m.width(), m.height()));
    EXPECT_EQ(m.shpFrame2.size(), QSize(m.width() - 4, m.height() - 4));
    // The buttons fit below the text.
    EXPECT_GE(m.flbOk->y(), m.labMes->geometry().bottom());
    EXPECT_LE(m.flbOk->geometry().bottom(), m.height() - 2);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(m.x(), (screen.width() - m.width()) / 2);
    EXPECT_EQ(m.y(), (screen.height() - m.height()) / 2);
    m.hide();

    ShowArranged(m, 7, text); // any other set: the text alone
    EXPECT_EQ(m.width(), m.labMes->width() + 20);
    for (TFrameLabel* b : {m.flbYes, m.flbNo, m.flbOk, m.flbCancel})
        EXPECT_FALSE(b->isVisible());
    m.hide();
}

TEST(MessageWindow, ResultCodes) {
    TfrmQVMes m;
    m.SetMes(1, "Delete Ok?");
    EXPECT_EQ(PressDuringExec(m, m.flbYes), QDialog::Accepted);
    EXPECT_EQ(m.GetResult(), 10001);
    EXPECT_FALSE(m.isVisible());
    PressDuringExec(m, m.flbNo, Qt::RightButton); // every mouse button counts
    EXPECT_EQ(m.GetResult(), 10002);
    m.SetMes(3, "Save?");
    PressDuringExec(m, m.flbCancel);
    EXPECT_EQ(m.GetResult(), 10004);
    PressDuringExec(m, m.flbOk);
    EXPECT_EQ(m.GetResult(), 10003);
}

// Enter answers with the default button, Escape with the other one (No,
// Cancel; OK when it stands alone); a text without buttons just closes.
TEST(MessageWindow, EnterAndEscapeAnswer) {
    TfrmQVMes m;
    auto keyDuringExec = [&m](int buttons, Qt::Key key) {
        m.SetMes(buttons, "Sure?");
        QTimer::singleShot(0, [&m, key] { QTest::keyClick(&m, key); });
        const int outcome = m.exec();
        EXPECT_FALSE(m.isVisible());
        return std::make_pair(outcome, m.GetResult());
    };
    using P = std::pair<int, int>;
    EXPECT_EQ(keyDuringExec(1, Qt::Key_Return), P(QDialog::Accepted, 10001));
    EXPECT_EQ(keyDuringExec(1, Qt::Key_Enter), P(QDialog::Accepted, 10001));
    EXPECT_EQ(keyDuringExec(1, Qt::Key_Escape), P(QDialog::Rejected, 10002));
    EXPECT_EQ(keyDuringExec(2, Qt::Key_Return), P(QDialog::Accepted, 10003));
    EXPECT_EQ(keyDuringExec(2, Qt::Key_Escape), P(QDialog::Accepted, 10003));
    EXPECT_EQ(keyDuringExec(3, Qt::Key_Enter), P(QDialog::Accepted, 10003));
    EXPECT_EQ(keyDuringExec(3, Qt::Key_Escape), P(QDialog::Rejected, 10004));
    EXPECT_EQ(keyDuringExec(0, Qt::Key_Return), P(QDialog::Rejected, 0));
}

TEST(MessageWindow, EscapeOnANewQuestionIsNeverAnEarlierYes) {
    // The one message window serves every question. A "Yes" to one question
    // must not answer the next one that the user leaves with Escape: that
    // would delete a site the user did not agree to delete.
    TfrmQVMes m;
    m.SetMes(1, "Delete Ok?");
    PressDuringExec(m, m.flbYes);
    ASSERT_EQ(m.GetResult(), 10001);
    m.SetMes(1, "Delete Ok?");
    QTimer::singleShot(0, [&m] { QTest::keyClick(&m, Qt::Key_Escape); });
    EXPECT_EQ(m.exec(), QDialog::Rejected);
    EXPECT_NE(m.GetResult(), 10001);
}

TEST(MessageWindow, TheErrorReportShowsEveryLine) {
    // The fatal-error report is four lines ("Error", an empty line, the
    // number, the message); the message is what the user needs to read.
    TfrmQVMes m;
    ShowArranged(m, 2, "Error\r\n\r\nErrorNo.0\r\nCan not write /x/Sysinfo.dat.tmp");
    const QFontMetrics fm(m.labMes->font());
    EXPECT_GE(m.labMes->height(), 4 * fm.height());
    EXPECT_GE(m.labMes->width(), fm.horizontalAdvance("Can not write /x/Sysinfo.dat.tmp"));
    EXPECT_GE(m.labMes->height(), m.labMes->sizeHint().height());
    // The label lies inside the window and above the button.
    EXPECT_LE(m.labMes->geometry().bottom(), m.flbOk->y());
    EXPECT_LE(m.flbOk->geometry().bottom(), m.height() - 1);
    m.hide();
}

TEST(KeyHelp, TopLeftAndClosedByEscapeOrF1) {
    TfrmKeyHelp k;
    k.move(200, 100);
    k.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&k));
    EXPECT_EQ(k.pos(), QPoint(0, 0));
    k.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&k));
    QTest::keyClick(&k, Qt::Key_Down); // other keys leave it open
    EXPECT_TRUE(k.isVisible());
    QTest::keyClick(&k, Qt::Key_F1);
    EXPECT_FALSE(k.isVisible());
    k.show();
    k.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&k));
    QTest::keyClick(&k, Qt::Key_Escape);
    EXPECT_FALSE(k.isVisible());
}

TEST(KeyHelp, ChartFitsTheWindowAndUsesArrowGlyphs) {
    TfrmKeyHelp k;
    std::string headings;
    int arrows = 0;
    for (const auto& row : k.Rows()) {
        headings += row.key;
        for (const auto& key : row.keys)
            arrows += key.size() == 2 && key[0] == '@';
    }
    EXPECT_EQ(headings, "F1F2F3F4F5F6F7F8F9F10F11F12");
    EXPECT_EQ(arrows, 14); // Clock 4, Search 2 + 2, Display 2, Atlas 4
    // Whole on a 1024x600 screen, and every key of a row shown, a function key's own too.
    EXPECT_LE(k.width(), 1024);
    EXPECT_LE(k.height(), 600);
    std::set<std::string> shown;
    for (TFrameLabel* label : k.KeyLabels()) shown.insert(label->GetCap());
    for (const char* key : {"Ctrl+T", "Ctrl+M", "Ctrl+K", "Ctrl+Shift+T"})
        EXPECT_TRUE(shown.count(key)) << key;
    const QRect inside(1, 1, k.width() - 2, k.height() - 2);
    for (TFrameLabel* label : k.KeyLabels()) {
        EXPECT_TRUE(inside.contains(label->geometry())) << label->GetCap();
        if (label->GetCap().size() > 2) {
            EXPECT_GE(label->width(), label->TextSize().width()) << label->GetCap();
        }
    }
}
