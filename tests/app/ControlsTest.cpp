// The window as drawn: names, captions, places, tab order, menus and status bar panels.
#include "ScriptedPort.h"
#include "StatusPanel.h"
#include "VirtualHost.h"
#include "WindowHarness.h"

#include <QFrame>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

#include <gtest/gtest.h>

namespace {

class ControlsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ClearSettings();
        port.openable = {QStringLiteral("COM1")};
        harness.Start();
    }

    const Twips& Layout() { return harness.Window().Layout(); }

    VirtualHost host;
    ScriptedPort port;
    WindowHarness harness{port, host};
};

struct ControlRow
{
    const char* name;
    const char* caption;
    int left, top, width, height;
};

TEST_F(ControlsTest, ControlsHaveTheirCaptionsAndPlaces)
{
    const ControlRow rows[] = {
        {"Label1", "Firmware File:", 120, 200, 1935, 255},
        {"TxtFileName", "", 120, 460, 7935, 315},
        {"CmdBrowse", "...", 8160, 460, 375, 320},
        {"CmdDownload", "&Download", 120, 960, 1335, 375},
        {"CmdCancel", "&Cancel", 120, 960, 1335, 375},
        {"ProgressBar1", "", 1560, 960, 6945, 345},
    };
    for (const ControlRow& row : rows) {
        SCOPED_TRACE(row.name);
        const auto* widget = harness.Control<QWidget>(row.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), Layout().Rect(row.left, row.top, row.width, row.height));
        if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
            EXPECT_EQ(button->text(), QString::fromUtf8(row.caption));
        }
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            EXPECT_EQ(label->text(), QString::fromUtf8(row.caption));
        }
    }
    EXPECT_EQ(harness.Control<QProgressBar>("ProgressBar1")->minimum(), 0);
    EXPECT_EQ(harness.Control<QProgressBar>("ProgressBar1")->maximum(), 100);
    EXPECT_DOUBLE_EQ(harness.Control<QPushButton>("CmdBrowse")->font().pointSizeF(), 9.75);
}

TEST_F(ControlsTest, WindowHasItsTitleFixedClientAreaAndEtchedRule)
{
    FrmMain& window = harness.Window();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Tessary Norvane Upgrader"));
    // Title, system menu and close box; neither minimize nor maximize.
    EXPECT_EQ(window.windowFlags(), Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                        Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    EXPECT_FALSE(window.windowIcon().isNull());

    window.adjustSize();
    const int clientHeight = window.centralWidget()->height() + window.statusBar()->height();
    // Wider only by what status bar panels need beyond their share for their texts.
    EXPECT_GE(window.centralWidget()->width(), Layout().X(8625));
    EXPECT_LE(window.centralWidget()->width(), Layout().X(8625) * 11 / 10);
    EXPECT_NEAR(clientHeight, Layout().Y(1860), 1);
    EXPECT_EQ(window.minimumSize(), window.maximumSize());

    const auto* dark = harness.Control<QFrame>("Line1");
    const auto* white = harness.Control<QFrame>("Line2");
    ASSERT_NE(dark, nullptr);
    ASSERT_NE(white, nullptr);
    EXPECT_EQ(dark->palette().color(QPalette::Window), QColor(64, 64, 64));
    EXPECT_EQ(white->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(dark->y(), 0);
    EXPECT_EQ(white->y(), 1);
}

TEST_F(ControlsTest, TabOrderRunsDownloadBrowseCancelFileName)
{
    const QWidgetList expected = {
        harness.Control<QWidget>("CmdDownload"), harness.Control<QWidget>("CmdBrowse"),
        harness.Control<QWidget>("CmdCancel"), harness.Control<QWidget>("TxtFileName")};
    EXPECT_EQ(TabSequence(expected.first()), expected);
}

TEST_F(ControlsTest, MenusHoldTheirItemsAndSeparatorsInOrder)
{
    struct Item
    {
        const char* name;
        const char* caption; // empty for a separator
    };
    const std::vector<Item> file = {
        {"mnuComPort", "&COM Port"}, {"mnuDash1", ""}, {"mnuExit", "&Exit"}};
    const std::vector<Item> help = {{"mnuContents", "&Contents..."},
                                    {"mnuDash3", ""},
                                    {"mnuVandryWeb", "&Halvorn Website"},
                                    {"mnuDash2", ""},
                                    {"mnuAbout", "&About..."}};
    auto check = [&](const char* menuName, const char* title, const std::vector<Item>& items) {
        SCOPED_TRACE(menuName);
        const auto* menu = harness.Control<QMenu>(menuName);
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->title(), QString::fromUtf8(title));
        const QList<QAction*> actions = menu->actions();
        ASSERT_EQ(actions.size(), static_cast<qsizetype>(items.size()));
        for (std::size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(actions[i]->objectName(), QString::fromUtf8(items[i].name));
            EXPECT_EQ(actions[i]->isSeparator(), *items[i].caption == '\0');
            if (!actions[i]->isSeparator()) {
                EXPECT_EQ(actions[i]->text(), QString::fromUtf8(items[i].caption));
            }
            EXPECT_TRUE(actions[i]->shortcut().isEmpty());
        }
    };
    check("mnuFile", "&File", file);
    check("mnuHelp", "&Help", help);
    EXPECT_EQ(harness.Window().menuBar()->actions().size(), 2);
}

TEST_F(ControlsTest, StatusBarHasFourPanelsOfTheirWidthsInOrder)
{
    const int widths[] = {5145, 1700, 700, 750};
    harness.Window().show();
    int left = -1;
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i + 1);
        const auto* panel =
            harness.Control<StatusPanel>(QStringLiteral("Panel") + QString::number(i + 1));
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(panel->parentWidget(), harness.Window().statusBar());
        EXPECT_GT(panel->x(), left);
        left = panel->x();
        // Wider only where the font needs it for the panel's texts.
        EXPECT_GE(panel->width(), Layout().X(widths[i]));
        EXPECT_LE(panel->width(), Layout().X(widths[i]) * 3 / 2);
        EXPECT_TRUE(panel->text().isEmpty() || i == 1 || i == 3);
    }
    EXPECT_EQ(harness.Window().statusBar()->objectName(), QStringLiteral("StatusBar1"));
    EXPECT_EQ(harness.Window().statusBar()->height(), Layout().Y(345));
}

} // namespace
