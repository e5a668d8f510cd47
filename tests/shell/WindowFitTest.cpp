#include "ShellFixture.h"
#include "correction/TfmeTeacher.h"
#include "shell/WindowPlacement.h"
#include "support/RecordingDialogs.h"
#include "support/TestPaths.h"
#include "ui/PictureButton.h"
#include "writing/TfmeEditor.h"

#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QScreen>
#include <QScrollArea>
#include <QTest>
#include <gtest/gtest.h>

TEST(WindowPlacement, FitsTheSizeAndKeepsTheWindowOnTheArea)
{
    const QRect desktop(0, 0, 1920, 1080);
    const QRect scaled(0, 0, 1280, 720);  // 1920 x 1080 at 150 %
    const QRect half(0, 0, 960, 540);     // at 200 %
    const QRect right(1920, 0, 1280, 690);
    const struct {
        QSize wanted;
        QRect area;
        QSize size;
        QPoint place;
    } cases[] = {
        {{1018, 758}, desktop, {1018, 758}, {451, 161}},
        {{1018, 758}, scaled, {1018, 720}, {131, 0}},
        {{1018, 758}, half, {960, 540}, {0, 0}},
        {{818, 628}, right, {818, 628}, {2151, 31}},
        {{818, 628}, {}, {818, 628}, {0, 0}},
    };
    for (const auto& c : cases) {
        const QSize size = WindowPlacement::Fit(c.wanted, c.area);
        EXPECT_EQ(size, c.size) << c.area.width();
        EXPECT_EQ(WindowPlacement::Place(size, c.area), c.place) << c.area.width();
        if (!c.area.isEmpty()) {
            EXPECT_TRUE(c.area.contains(QRect(WindowPlacement::Place(size, c.area), size)));
        }
    }
}

// Run in a process of its own with the screen and scale the parent gives it: each mode's
// window, shown, lies wholly on the screen's available area.
TEST(WindowFit, EveryModeLiesOnTheScreen)
{
    if (qEnvironmentVariableIsEmpty("DZ_FIT_CHILD"))
        GTEST_SKIP() << "run by WindowFit.AtScaleFactors";
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    for (const QStringList& fields : {StudentFields(), TeacherFields(), ViewFields()}) {
        ScopedRecordingDialogs dialogs;
        ShellFixture fixture;
        const auto window = fixture.start(fixture.launchFile("run.dzl", fields));
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        const QRect shown = window->frameGeometry();
        EXPECT_TRUE(area.contains(shown)) << fields[0].toStdString() << " " << shown.x() << "," << shown.y() << " "
                                          << shown.width() << "x" << shown.height();
        // The close button is on the screen.
        EXPECT_TRUE(area.contains(QRect(window->Image3->mapToGlobal(QPoint()), window->Image3->size())));
        std::printf("%s %d,%d %dx%d on %dx%d\n", qPrintable(fields[0]), shown.x(), shown.y(), shown.width(),
                    shown.height(), area.width(), area.height());
        // So are the frame's save and print buttons, without scrolling, on a screen of at
        // least 1280 x 720: the frame gives way in height and its button strip stays at the
        // foot of the window. (A smaller screen scrolls the frame.)
        if (area.height() < 720)
            continue;
        QWidget* frame = window->FEditor ? static_cast<QWidget*>(window->FEditor) : window->FTeacher;
        ASSERT_TRUE(frame);
        const QWidget* viewport = window->pnlHost->viewport();
        const QRect seen(viewport->mapToGlobal(QPoint()), viewport->size());
        int buttons = 0;
        for (const char* name : {"btnSave", "Image5", "Image7", "Image2"}) {
            const auto* button = frame->findChild<PictureButton*>(QLatin1String(name));
            if (!button || !button->isVisible())
                continue;
            ++buttons;
            const QRect at(button->mapToGlobal(QPoint()), button->size());
            EXPECT_TRUE(seen.contains(at) && area.contains(at)) << fields[0].toStdString() << " " << name << " at "
                                                                << at.y() << ", the frame seen to " << seen.bottom();
        }
        EXPECT_GE(buttons, 1) << fields[0].toStdString();
    }
}

TEST(WindowFit, AtScaleFactors)
{
    for (const char* scale : {"1", "1.5", "2"}) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DZ_FIT_CHILD"), QStringLiteral("1"));
        env.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::fromLatin1(scale));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=WindowFit.EveryModeLiesOnTheScreen")});
        ASSERT_TRUE(child.waitForFinished(120000)) << scale;
        const QString output = QString::fromLocal8Bit(child.readAll());
        EXPECT_EQ(child.exitCode(), 0) << scale << "\n" << output.toStdString();
        EXPECT_TRUE(output.contains(QStringLiteral("T001"))) << output.toStdString();
    }
}
