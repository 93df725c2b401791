#include "ComSelect.h"

#include "AppIcons.h"
#include "AppSettings.h"
#include "DownloadView.h"
#include "EtchedRule.h"
#include "MessageBoxService.h"
#include "PortFailureText.h"
#include "PressOnEnter.h"
#include "SerialPort.h"
#include "TextRoom.h"
#include "Twips.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace {
const QString kCouldNotOpen = QStringLiteral("Could not open COM ");
const QString kNoDevice = QStringLiteral("No device found for this port");
// Widths in twips.
constexpr int kLabelWidth = 1695;
constexpr int kComboWidth = 1815;
constexpr int kDeviceWidth = 2760;
constexpr int kButtonWidth = 1335;
const QString kNoPortSelected =
    QStringLiteral("No port is selected. Choose one of COM1 to COM12 from the list.");
} // namespace

ComSelect::ComSelect(SerialPort& port, MessageBoxService& messages, DeviceLookup deviceOf,
                     QWidget* parent)
    : QDialog(parent), m_port(port), m_messages(messages), m_deviceOf(std::move(deviceOf))
{
    setObjectName(QStringLiteral("ComSelect"));
    setWindowTitle(QStringLiteral("Select Serial Port"));
    setWindowIcon(PortDialogIcon());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setModal(true);
    CreateControls();
    Form_Load();
}

void ComSelect::CreateControls()
{
    m_label = new QLabel(QStringLiteral("COM Port:"), this);
    m_label->setObjectName(QStringLiteral("Label1"));

    m_combo = new QComboBox(this);
    m_combo->setObjectName(QStringLiteral("ComboCom"));
    m_combo->setEditable(true);
    m_combo->setInsertPolicy(QComboBox::NoInsert);
    for (int16_t port = kFirstComPort; port <= kLastComPort; ++port)
        m_combo->addItem(QStringLiteral("COM") + QString::number(port));

    m_device = new QLabel(this);
    m_device->setObjectName(QStringLiteral("LabelDevice"));
    m_device->setTextFormat(Qt::PlainText);

    m_ok = new QPushButton(QStringLiteral("&OK"), this);
    m_ok->setObjectName(QStringLiteral("CmdOK"));
    m_cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("CmdCancel"));
    // Neither button is the dialog's default: Enter presses the button that has the focus.
    for (QPushButton* button : {m_ok, m_cancel}) {
        button->setAutoDefault(false);
        button->setDefault(false);
        PressOnEnter(button);
    }

    LayOut();

    setTabOrder(m_ok, m_combo);
    setTabOrder(m_combo, m_cancel);

    connect(m_ok, &QPushButton::clicked, this, &ComSelect::CmdOK_Click);
    connect(m_cancel, &QPushButton::clicked, this, &ComSelect::CmdCancel_Click);
    connect(m_combo, &QComboBox::currentIndexChanged, this, &ComSelect::ShowSelectedDevice);
}

void ComSelect::LayOut()
{
    Twips twips(font());
    auto fit = [&twips](int width, int pixels) { twips = twips.WideEnoughFor(width, pixels); };
    fit(kLabelWidth, CaptionWidth(m_label->fontMetrics(), m_label->text()));
    fit(kComboWidth, m_combo->fontMetrics().horizontalAdvance(m_combo->itemText(kLastComPort - 1)) +
                         TextChrome(*m_combo));
    fit(kDeviceWidth, m_device->fontMetrics().horizontalAdvance(kNoDevice));
    for (QPushButton* button : {m_ok, m_cancel})
        fit(kButtonWidth,
            CaptionWidth(button->fontMetrics(), button->text()) + TextChrome(*button));

    setFixedSize(twips.X(4020), twips.Y(2115));
    m_label->setGeometry(twips.Rect(1080, 240, kLabelWidth, 255));
    m_combo->setGeometry(twips.Rect(1080, 480, kComboWidth, 315));
    m_device->setGeometry(twips.Rect(1080, 840, kDeviceWidth, 255));
    // Both lines of the rule carry the name Line1.
    AddEtchedRule(this, QStringLiteral("Line1"), QStringLiteral("Line1"), twips.X(120),
                  twips.Y(1200), twips.X(3840 - 120), QColor(128, 128, 128));
    m_ok->setGeometry(twips.Rect(360, 1560, kButtonWidth, 375));
    m_cancel->setGeometry(twips.Rect(2280, 1560, kButtonWidth, 375));
}

void ComSelect::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    move(screen()->availableGeometry().center() - rect().center());
    // The focus is drawn from the start, not only after the first Tab: a keyboard user sees
    // which button Enter presses. Showing a window clears this, so it is set once shown.
    setAttribute(Qt::WA_KeyboardFocusChange);
}

int16_t ComSelect::GetComPort()
{
    return ReadComPortSetting();
}

void ComSelect::Form_Load()
{
    m_combo->setCurrentIndex(GetComPort() - 1);
    ShowSelectedDevice();
    m_ok->setFocus();
}

void ComSelect::ShowSelectedDevice()
{
    const int index = m_combo->currentIndex();
    if (index < 0) {
        m_device->clear();
        m_device->setToolTip(QString());
        return;
    }
    const auto port = static_cast<int16_t>(index + 1);
    const QString device = m_deviceOf ? m_deviceOf(port) : QString();
    // The tip names also a mapped path whose device is gone (an adapter unplugged): that
    // reaches no device either.
    m_device->setToolTip(device);
    if (device.isEmpty() || !QFileInfo::exists(device)) {
        m_device->setText(kNoDevice);
        return;
    }
    // A long device path keeps its end on screen, where a /dev/serial/by-id/ name holds the
    // adapter's serial number; the tip shows it whole.
    const QString prefix = QStringLiteral("Device: ");
    const QFontMetrics metrics = m_device->fontMetrics();
    m_device->setText(prefix +
                      metrics.elidedText(device, Qt::ElideLeft,
                                         m_device->width() - metrics.horizontalAdvance(prefix)));
}

void ComSelect::CmdOK_Click()
{
    if (m_port.IsOpen())
        m_port.Close();
    // The text in the box decides, whether it was typed or picked from the list, and
    // whichever way OK is pressed. Text that names none of COM1 to COM12 gives the index -1,
    // so the port is 0, which no port has.
    const int index = m_combo->findText(m_combo->currentText().trimmed(), Qt::MatchFixedString);
    if (index >= 0)
        m_combo->setCurrentIndex(index);
    const auto port = static_cast<int16_t>(index + 1);
    m_port.SetPortName(QStringLiteral("COM") + QString::number(port));
    if (!m_port.Open()) {
        m_messages.Show(kCouldNotOpen + QString::number(port), kStyleOkCancelError, QString(),
                        port == 0 ? kNoPortSelected
                                  : PortFailureDetail(m_port.Error(), m_port.ErrorText()));
        return;
    }
    WriteComPortSetting(port);
    accept();
}

void ComSelect::CmdCancel_Click()
{
    reject();
}
