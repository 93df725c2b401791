// Every fixed text of the window and the port dialog shows whole, at the default fonts of
// Debian's desktops and at larger ones. ctest runs this program once per QT_SCALE_FACTOR.
#include "ComSelect.h"
#include "ScriptedPort.h"
#include "StatusPanel.h"
#include "TextRoom.h"
#include "VirtualHost.h"
#include "WindowHarness.h"

#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>

#include <gtest/gtest.h>

namespace {

struct DesktopFont
{
    const char* family;
    int pointSize;
};

// Fallback and Cinnamon, Xfce and MATE, LXQt, KDE Plasma, GNOME; then an 11 pt default.
const DesktopFont kFonts[] = {{"DejaVu Sans", 9}, {"DejaVu Sans", 10}, {"DejaVu Sans", 11},
                              {"Noto Sans", 10},  {"Noto Sans", 11},   {"Cantarell", 11}};

// Collects every text that would be cut, with the room it needs and the room it has.
class CutTexts
{
public:
    void Check(const QWidget* widget, const QString& text, int width, int room)
    {
        if (width > room)
            m_cut << QStringLiteral("%1 \"%2\": %3 px wide, room %4")
                         .arg(widget->objectName(), text)
                         .arg(width)
                         .arg(room);
    }
    void CheckHeight(const QWidget* widget, int height, int room)
    {
        if (height > room)
            m_cut << QStringLiteral("%1: %2 px high, room %3")
                         .arg(widget->objectName())
                         .arg(height)
                         .arg(room);
    }

    void Label(const QLabel* label, const QString& text)
    {
        Check(label, text, label->fontMetrics().horizontalAdvance(text),
              label->contentsRect().width());
        CheckHeight(label, label->fontMetrics().height(), label->contentsRect().height());
    }

    void Button(const QPushButton* button)
    {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const QRect contents =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        Check(button, button->text(), CaptionWidth(button->fontMetrics(), button->text()),
              contents.width());
        CheckHeight(button, button->fontMetrics().height(), contents.height());
    }

    void Panel(const StatusPanel* panel, const QStringList& texts)
    {
        for (const QString& text : texts)
            if (panel->fontMetrics().elidedText(text, Qt::ElideRight, panel->TextRoom()) != text)
                Check(panel, text, panel->fontMetrics().horizontalAdvance(text), panel->TextRoom());
        CheckHeight(panel, panel->fontMetrics().height(), panel->contentsRect().height());
    }

    void Combo(const QComboBox* combo)
    {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.editable = true;
        const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                           QStyle::SC_ComboBoxEditField, combo);
        for (int i = 0; i < combo->count(); ++i)
            Check(combo, combo->itemText(i),
                  combo->fontMetrics().horizontalAdvance(combo->itemText(i)), field.width() - 4);
        CheckHeight(combo, combo->minimumSizeHint().height(), combo->height());
    }

    QString Report() const { return m_cut.join(QLatin1Char('\n')); }

private:
    QStringList m_cut;
};

class LayoutTest : public testing::TestWithParam<DesktopFont>
{
protected:
    void SetUp() override
    {
        m_previousFont = QApplication::font();
        QApplication::setFont(QFont(QString::fromLatin1(GetParam().family), GetParam().pointSize));
        ASSERT_EQ(QFontInfo(QApplication::font()).family(), QString::fromLatin1(GetParam().family))
            << "the font is not installed";
        ClearSettings();
        port.openable = {QStringLiteral("COM1")};
    }
    void TearDown() override { QApplication::setFont(m_previousFont); }

    VirtualHost host;
    ScriptedPort port;

private:
    QFont m_previousFont;
};

TEST_P(LayoutTest, MainWindowShowsEveryFixedTextWhole)
{
    WindowHarness harness(port, host);
    harness.Start();
    harness.Window().show();

    CutTexts cut;
    const auto* label = harness.Control<QLabel>("Label1");
    cut.Label(label, label->text());
    for (const char* name : {"CmdDownload", "CmdCancel", "CmdBrowse"})
        cut.Button(harness.Control<QPushButton>(name));
    const auto* box = harness.Control<QLineEdit>("TxtFileName");
    cut.CheckHeight(box, box->minimumSizeHint().height(), box->height());
    const auto* statusLine = harness.Control<StatusPanel>("Panel1");
    const std::array<QStringList, 4> texts = PanelTexts(statusLine->fontMetrics());
    for (int i = 0; i < 4; ++i)
        cut.Panel(harness.Control<StatusPanel>(QStringLiteral("Panel") + QString::number(i + 1)),
                  texts[static_cast<std::size_t>(i)]);
    EXPECT_EQ(cut.Report(), QString());
}

TEST_P(LayoutTest, PortDialogShowsEveryFixedTextWhole)
{
    ScriptedMessageBoxes messages;
    ComSelect dialog(port, messages, [](int16_t) { return QString(); });
    dialog.show();

    CutTexts cut;
    const auto* label = dialog.findChild<QLabel*>("Label1");
    cut.Label(label, label->text());
    cut.Label(dialog.findChild<QLabel*>("LabelDevice"),
              QStringLiteral("No device found for this port"));
    cut.Combo(dialog.findChild<QComboBox*>("ComboCom"));
    for (const char* name : {"CmdOK", "CmdCancel"})
        cut.Button(dialog.findChild<QPushButton*>(name));
    EXPECT_EQ(cut.Report(), QString());
}

INSTANTIATE_TEST_SUITE_P(DesktopFonts, LayoutTest, testing::ValuesIn(kFonts),
                         [](const testing::TestParamInfo<DesktopFont>& info) {
                             std::string name = info.param.family;
                             name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
                             return name + std::to_string(info.param.pointSize);
                         });

} // namespace
