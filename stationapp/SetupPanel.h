#pragma once

#include "Firmware.h"
#include "RecordTarget.h"
#include "StationSetup.h"

#include <QDateTime>
#include <QWidget>

#include <memory>
#include <optional>

class FileDialogService;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

// The set-up of the line: the firmware file (loaded as soon as it is named, its facts or the
// reason it is refused shown beneath it), the watched folder, jobs, retries, the record and
// whether ports plugged in before Start are flashed. Ready() holds while a line can be armed
// with it; read-only while armed.
class SetupPanel : public QWidget
{
    Q_OBJECT

public:
    SetupPanel(FileDialogService& fileDialog, QWidget* parent = nullptr);
    // The fields' signals are cut first: a field losing its focus as the window goes would
    // otherwise call into a panel already half destroyed.
    ~SetupPanel() override;

    StationSetup Setup() const;
    // Shows setup, loading its firmware file.
    void SetSetup(const StationSetup& setup);
    void SetReadOnly(bool readOnly);

    bool Ready() const;
    // The firmware as loaded, loaded again first if the file has changed since.
    std::shared_ptr<const Firmware> CurrentFirmware();
    // The checked record; set whenever Ready().
    const std::optional<RecordTarget>& Record() const { return m_record; }

signals:
    void ReadyChanged(bool ready);

private:
    void Browse();
    void LoadFirmwareFile();
    void ShowFirmware();
    void CheckRecord();
    void CheckFolder();
    void Recheck();

    FileDialogService& m_fileDialog;
    QLineEdit* m_firmwareFile;
    QPushButton* m_browse;
    QLabel* m_firmwareFacts;
    QLineEdit* m_watchedFolder;
    QLabel* m_folderNote;
    QSpinBox* m_jobs;
    QSpinBox* m_retries;
    QLineEdit* m_recordField;
    QLabel* m_recordNote;
    QCheckBox* m_includePresent;

    std::shared_ptr<const Firmware> m_firmware;
    QDateTime m_firmwareModified; // of the file when it was loaded
    qint64 m_firmwareSize = -1;
    std::optional<RecordTarget> m_record;
    bool m_folderUsable = true;
    bool m_ready = false;
};
