#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>
#include <functional>

class MessageBoxService;
class QComboBox;
class QLabel;
class QPushButton;
class SerialPort;

// The modal dialog in which the user picks COM1 to COM12. OK opens the chosen port on the
// main window's port and remembers its number; a port that cannot be opened is reported and
// the dialog stays. Beside the list it shows which device the chosen number reaches.
class ComSelect : public QDialog
{
    Q_OBJECT

public:
    // The device a COM number reaches (a device path), or empty text when none does.
    using DeviceLookup = std::function<QString(int16_t port)>;

    ComSelect(SerialPort& port, MessageBoxService& messages, DeviceLookup deviceOf,
              QWidget* parent = nullptr);

    // The stored port number: 1 when nothing is stored, 0 when the stored text is not a
    // whole number from 1 to 12.
    static int16_t GetComPort();

    void CmdOK_Click();
    void CmdCancel_Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    void CreateControls();
    void LayOut();
    void ShowSelectedDevice();

    SerialPort& m_port;
    MessageBoxService& m_messages;
    DeviceLookup m_deviceOf;

    QLabel* m_label = nullptr;
    QComboBox* m_combo = nullptr;
    QLabel* m_device = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};
