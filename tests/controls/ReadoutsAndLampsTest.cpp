#include "RecordingPane.h"
#include "controls/ConsoleLook.h"
#include "controls/CueReadout.h"
#include "controls/DanLamp.h"
#include "controls/FaderLabel.h"
#include "controls/KnobArt.h"
#include "controls/LvDisp.h"
#include "controls/MyEdit.h"
#include "controls/RcLamp.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

using namespace orinsub::controls;
using orinsub::testing::RecordingPane;

TEST(Readout, PercentTextsOnFadersAndChannelReadouts)
{
    CLvDisp fader; // a fader's readout: "0" and "%d"
    CChanLvDisp channel;
    channel.m_zeroText = QStringLiteral("--");
    channel.m_smallWithLeadingZero = true;

    const struct
    {
        int level;
        const char *onFader;
        const char *onChannel;
    } cases[] = {{0, "0", "--"},  {1, "0", "--"},   {2, "0", "--"},    {3, "1", "01"},
                 {25, "9", "09"}, {26, "10", "10"}, {254, "99", "99"}, {255, "FF", "FF"}};
    for (const auto &c : cases) {
        fader.SetLevel(c.level);
        channel.StoreLevel(c.level);
        EXPECT_EQ(fader.Text(), QString::fromLatin1(c.onFader)) << c.level;
        EXPECT_EQ(channel.Text(), QString::fromLatin1(c.onChannel)) << c.level;
    }
}

TEST(Readout, ChannelReadoutRepaintsOnSetButNeverOnStore)
{
    RecordingPane pane;
    pane.scroll = QPoint(40, 0);
    CChanLvDisp readout;
    readout.SetView(&pane);
    readout.SetRect(QRect(47, 3, 34, 23));

    EXPECT_TRUE(readout.StoreLevel(10));
    EXPECT_FALSE(readout.StoreLevel(10));
    EXPECT_TRUE(pane.invalidated.empty());

    readout.SetLevel(10);
    ASSERT_EQ(pane.invalidated.size(), 1u) << "an unchanged level still repaints";
    EXPECT_EQ(pane.invalidated[0], QRect(7, 3, 34, 23));
}

TEST(Readout, DrawsItsDigitsInItsColoursInsideItsBox)
{
    CLvDisp readout;
    readout.SetRect(QRect(2, 2, 34, 23));
    readout.m_textColor = QColor(127, 255, 0);
    readout.m_pointSize = 140;
    readout.SetLevel(255);
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(QColor(63, 63, 63));
    QPainter painter(&image);
    readout.Draw(painter);
    painter.end();

    EXPECT_EQ(image.pixelColor(2, 2), QColor(0, 0, 0));
    EXPECT_EQ(image.pixelColor(1, 1), QColor(63, 63, 63)) << "nothing outside the box";
    int lit = 0;
    for (int y = 2; y < 25; ++y)
        for (int x = 2; x < 36; ++x)
            lit += image.pixelColor(x, y).green() > 128;
    EXPECT_GT(lit, 10) << "the digits are drawn";
}

TEST(RowLamp, ColoursFollowTheStateAndTheBoxIsCentred)
{
    CDanLamp lamp;
    lamp.SetGeometry(14, 104, 20, 20);
    lamp.SetText(QStringLiteral("A"));
    EXPECT_EQ(lamp.GetRect(), QRect(4, 94, 20, 20));
    lamp.SetState(RowState::OffAir);
    EXPECT_EQ(lamp.GetColor(), QColor(0, 200, 0));
    lamp.SetState(RowState::OnAir);
    EXPECT_EQ(lamp.GetColor(), QColor(255, 0, 0));

    QImage image(28, 130, QImage::Format_RGB32);
    image.fill(QColor(63, 63, 63));
    QPainter painter(&image);
    lamp.Draw(painter);
    painter.end();
    EXPECT_EQ(image.pixelColor(4, 94), QColor(0, 0, 0)) << "black outline";
    EXPECT_EQ(image.pixelColor(6, 96), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(24, 104), QColor(63, 63, 63)) << "the right edge is exclusive";
}

TEST(PushLamp, HoverShowsOnlyWhileOn)
{
    CRcLamp lamp(1045, 75, 1075, 105, QStringLiteral("▲"));
    EXPECT_EQ(lamp.GetRect(), QRect(1045, 75, 30, 30));
    lamp.SetHover(true);
    EXPECT_EQ(lamp.CurrentFill(), QColor(127, 127, 127)) << "off and hovered draws the off fill";
    lamp.SetOn(true);
    EXPECT_EQ(lamp.CurrentFill(), QColor(0, 225, 0));
    lamp.SetHover(false);
    EXPECT_EQ(lamp.CurrentFill(), QColor(0, 191, 0));
}

TEST(InButton, SwitchingOffClearsHoverAndRepaintsInItsOwner)
{
    RecordingPane pane;
    CInButton button(64, 84, QStringLiteral("IN"), &pane);
    EXPECT_EQ(button.GetRect(), QRect(4, 64, 20, 20));
    button.SetOn(true);
    button.SetHover(true);
    EXPECT_EQ(button.CurrentFill(), QColor(159, 159, 63));
    button.SetOn(false);
    EXPECT_FALSE(button.IsOn());
    EXPECT_FALSE(button.IsHovered());
    EXPECT_TRUE(pane.WasInvalidated(button.GetRect()));
}

TEST(RowLamp, RepaintsItsBoxOnlyWhenTheStateChanges)
{
    RecordingPane pane;
    CDanLamp lamp;
    lamp.SetGeometry(14, 260, 20, 20);
    lamp.SetView(&pane);
    lamp.SetState(RowState::OffAir);
    EXPECT_TRUE(pane.invalidated.empty()) << "a lamp starts off air";
    lamp.SetState(RowState::OnAir);
    lamp.SetState(RowState::OnAir);
    EXPECT_EQ(pane.invalidated, std::vector<QRect>{QRect(4, 250, 20, 20)});
}

TEST(PushLamp, RepaintsItsBoxInTheScrolledPaneOnlyOnAChange)
{
    RecordingPane pane;
    pane.scroll = QPoint(100, 10);
    CRcLamp lamp(1045, 75, 1075, 105, QStringLiteral("▲"), &pane);
    const struct
    {
        const char *step;
        std::function<void()> act;
        bool repaints;
    } steps[] = {
        {"on", [&] { lamp.SetOn(true); }, true},
        {"on again", [&] { lamp.SetOn(true); }, false},
        {"hovered", [&] { lamp.SetHover(true); }, true},
        {"hovered again", [&] { lamp.SetHover(true); }, false},
        {"off, which ends the hover", [&] { lamp.SetOn(false); }, true},
        {"off again", [&] { lamp.SetOn(false); }, false},
    };
    for (const auto &s : steps) {
        pane.invalidated.clear();
        s.act();
        EXPECT_EQ(pane.invalidated,
                  s.repaints ? std::vector<QRect>{QRect(945, 65, 30, 30)} : std::vector<QRect>{})
            << s.step;
    }
    EXPECT_FALSE(lamp.IsHovered());
}

TEST(FaderLabel, CreatesItsBoxOnceAndShowsTheCaption)
{
    QWidget parent;
    CFaderLabel label;
    label.SetParent(&parent);
    label.SetNumber(7);
    label.SetText(QStringLiteral("下手"));
    EXPECT_FALSE(label.IsCreated());

    label.Create(4, 332, 40, 60);
    ASSERT_TRUE(label.IsCreated());
    CMyEdit *edit = label.GetEdit();
    EXPECT_EQ(edit->parentWidget(), &parent);
    EXPECT_EQ(edit->geometry(), QRect(4, 332, 40, 60));
    EXPECT_EQ(edit->toPlainText(), QStringLiteral("下手"));
    EXPECT_EQ(edit->GetNumber(), 7);

    label.Create(100, 100, 10, 10);
    EXPECT_EQ(edit->geometry(), QRect(4, 332, 40, 60)) << "a second Create does nothing";

    int changes = 0;
    QObject::connect(edit, &QPlainTextEdit::textChanged, [&] { ++changes; });
    label.SetText(QStringLiteral("上手"));
    EXPECT_EQ(edit->toPlainText(), QStringLiteral("上手"));
    EXPECT_EQ(changes, 0) << "showing a stored name is not an edit";
}

TEST(KnobArt, EveryKnobHasTheSizeThatSetsItsRectangle)
{
    const struct
    {
        int id, w, h;
    } sizes[] = {{130, 28, 16}, {131, 28, 16}, {132, 28, 16}, {133, 28, 16}, {135, 40, 48},
                 {136, 42, 52}, {137, 42, 52}, {138, 40, 48}, {139, 40, 48}, {140, 40, 48},
                 {143, 40, 48}, {142, 42, 52}, {3, 40, 48},   {141, 42, 52}};
    for (const auto &s : sizes) {
        EXPECT_EQ(KnobSize(s.id), QSize(s.w, s.h)) << s.id;
        EXPECT_EQ(KnobPixmap(s.id).size(), QSize(s.w, s.h)) << s.id;
    }
    EXPECT_TRUE(KnobPixmap(134).isNull());
    EXPECT_NE(KnobPixmap(kKnobCrossA).toImage().pixelColor(20, 10),
              KnobPixmap(kKnobCrossASelected).toImage().pixelColor(20, 10))
        << "a grabbed knob looks different";
}

TEST(ConsoleFont, HasTheJapaneseGlyphsAndMarks)
{
    const QFontMetrics metrics(ConsoleFont(90));
    for (const QChar c : QStringLiteral("段引掛装置なし▲▼～"))
        EXPECT_TRUE(metrics.inFont(c)) << int(c.unicode());
}

// A running fade's time left repaints alone; a cue or a word to the operator repaints the line.
TEST(CueReadout, RepaintsOnlyWhatChanged)
{
    RecordingPane pane;
    CCueReadout readout(QRect(30, 1, 1000, 18), &pane);
    CueReadoutState state{true, QStringLiteral("1"), QStringLiteral("2"), 0.0, {}, {}};
    readout.Show(state);
    state.remaining = QStringLiteral("残り 10:00.0");
    pane.invalidated.clear();
    readout.Show(state);
    EXPECT_EQ(pane.Invalidated(), QRegion(readout.GetRemainingRect()));
    state.message = QStringLiteral("フォロー 1:30.0");
    readout.Show(state);
    EXPECT_TRUE(pane.WasInvalidated(readout.GetRect()));
}
