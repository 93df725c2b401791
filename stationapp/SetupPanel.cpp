#include "SetupPanel.h"

#include "EventLoopHost.h"
#include "FileDialogService.h"
#include "FirmwareFacts.h"
#include "RecordSetting.h"
#include "VisibleText.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <atomic>

namespace {

const QString kBrowseTitle = QStringLiteral("Choose the Firmware for the Line");
const QString kBrowseFilter = QStringLiteral("S-Record Releases (*.mot);;All Files (*)");

QLabel* NoteLabel(const QString& objectName)
{
    auto* label = new QLabel;
    label->setObjectName(objectName);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// The name, the CRC as the upgrader's window shows it, the SHA-256 (in two halves of fixed
// width, so that the panel stays narrow), the plan's size and the least time a download takes.
QString FactsText(const Firmware& firmware)
{
    const auto line = [](const QString& text) { return VisibleText(text).toHtmlEscaped(); };
    return QStringList{line(QFileInfo(firmware.fileName).fileName()),
                       line(FirmwareCrcText(firmware)),
                       QStringLiteral("SHA-256:<br><tt>%1<br>%2</tt>")
                           .arg(firmware.sha256.left(32), firmware.sha256.mid(32)),
                       line(QStringLiteral("Steps: ") + FirmwareStepsText(firmware)),
                       line(QStringLiteral("Download time: ") + FirmwareLeastTimeText(firmware))}
        .join(QStringLiteral("<br>"));
}

} // namespace

SetupPanel::SetupPanel(FileDialogService& fileDialog, QWidget* parent)
    : QWidget(parent), m_fileDialog(fileDialog), m_firmwareFile(new QLineEdit),
      m_browse(new QPushButton(QStringLiteral("Browse…"))),
      m_firmwareFacts(NoteLabel(QStringLiteral("FirmwareFacts"))), m_watchedFolder(new QLineEdit),
      m_folderNote(NoteLabel(QStringLiteral("FolderNote"))), m_jobs(new QSpinBox),
      m_retries(new QSpinBox), m_recordField(new QLineEdit),
      m_recordNote(NoteLabel(QStringLiteral("RecordNote"))),
      m_includePresent(new QCheckBox(QStringLiteral("Also flash ports already plugged in")))
{
    setObjectName(QStringLiteral("SetupPanel"));
    m_firmwareFile->setObjectName(QStringLiteral("FirmwareFile"));
    m_firmwareFacts->setTextFormat(Qt::RichText); // every text it shows is escaped
    m_browse->setObjectName(QStringLiteral("BrowseFirmware"));
    m_watchedFolder->setObjectName(QStringLiteral("WatchedFolder"));
    m_jobs->setObjectName(QStringLiteral("Jobs"));
    m_jobs->setRange(0, kMaxStationJobs);
    m_jobs->setSpecialValueText(QStringLiteral("no limit"));
    m_retries->setObjectName(QStringLiteral("Retries"));
    m_retries->setRange(0, kMaxStationRetries);
    m_recordField->setObjectName(QStringLiteral("Record"));
    m_recordField->setPlaceholderText(QStringLiteral("the local record file"));
    m_recordField->setToolTip(
        QStringLiteral(
            "Empty: %1\nA file path, or postgresql://USER@HOST[:PORT]/DB with the password in "
            "PGPASSWORD, ~/.pgpass or PGSERVICE")
            .arg(DefaultRecordFile()));
    m_includePresent->setObjectName(QStringLiteral("IncludePresent"));

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(m_firmwareFile, 1);
    fileRow->addWidget(m_browse);
    auto* form = new QFormLayout(this);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->addRow(QStringLiteral("&Firmware file:"), fileRow);
    form->addRow(m_firmwareFacts);
    form->addRow(QStringLiteral("&Watched folder:"), m_watchedFolder);
    form->addRow(m_folderNote);
    form->addRow(QStringLiteral("&Jobs at once:"), m_jobs);
    form->addRow(QStringLiteral("Re&tries:"), m_retries);
    form->addRow(QStringLiteral("&Record:"), m_recordField);
    form->addRow(m_recordNote);
    form->addRow(m_includePresent);
    // The buddies make the labels' mnemonics reach their fields.
    for (QWidget* field : {static_cast<QWidget*>(m_firmwareFile),
                           static_cast<QWidget*>(m_watchedFolder), static_cast<QWidget*>(m_jobs),
                           static_cast<QWidget*>(m_retries), static_cast<QWidget*>(m_recordField)})
        if (auto* label = qobject_cast<QLabel*>(form->labelForField(field)))
            label->setBuddy(field);
    if (auto* label = qobject_cast<QLabel*>(form->labelForField(fileRow)))
        label->setBuddy(m_firmwareFile);

    // Tab from Start and Stop goes on to the first field.
    setFocusProxy(m_firmwareFile);
    setTabOrder(m_firmwareFile, m_browse);
    setTabOrder(m_browse, m_watchedFolder);
    setTabOrder(m_watchedFolder, m_jobs);
    setTabOrder(m_jobs, m_retries);
    setTabOrder(m_retries, m_recordField);
    setTabOrder(m_recordField, m_includePresent);

    connect(m_browse, &QPushButton::clicked, this, &SetupPanel::Browse);
    connect(m_firmwareFile, &QLineEdit::editingFinished, this, [this] {
        if (!m_firmware || m_firmware->fileName != m_firmwareFile->text())
            LoadFirmwareFile();
    });
    connect(m_watchedFolder, &QLineEdit::textChanged, this, &SetupPanel::CheckFolder);
    connect(m_recordField, &QLineEdit::textChanged, this, &SetupPanel::CheckRecord);
    CheckFolder();
    CheckRecord();
    LoadFirmwareFile();
}

SetupPanel::~SetupPanel()
{
    for (QObject* field : findChildren<QObject*>())
        field->disconnect(this);
}

StationSetup SetupPanel::Setup() const
{
    StationSetup setup;
    setup.firmwareFile = m_firmwareFile->text();
    setup.watchedFolder = m_watchedFolder->text().trimmed();
    setup.jobs = m_jobs->value();
    setup.retries = m_retries->value();
    setup.record = m_recordField->text().trimmed();
    setup.includePresent = m_includePresent->isChecked();
    return setup;
}

void SetupPanel::SetSetup(const StationSetup& setup)
{
    m_firmwareFile->setText(setup.firmwareFile);
    m_watchedFolder->setText(setup.watchedFolder);
    m_jobs->setValue(setup.jobs);
    m_retries->setValue(setup.retries);
    m_recordField->setText(setup.record);
    m_includePresent->setChecked(setup.includePresent);
    LoadFirmwareFile();
}

void SetupPanel::SetReadOnly(bool readOnly)
{
    for (QLineEdit* edit : {m_firmwareFile, m_watchedFolder, m_recordField})
        edit->setReadOnly(readOnly);
    for (QSpinBox* spin : {m_jobs, m_retries})
        spin->setReadOnly(readOnly);
    m_browse->setEnabled(!readOnly);
    m_includePresent->setEnabled(!readOnly);
}

bool SetupPanel::Ready() const
{
    return m_ready;
}

std::shared_ptr<const Firmware> SetupPanel::CurrentFirmware()
{
    const QFileInfo file(m_firmwareFile->text());
    if (file.lastModified() != m_firmwareModified || file.size() != m_firmwareSize)
        LoadFirmwareFile();
    return m_firmware;
}

void SetupPanel::Browse()
{
    const QFileInfo current(m_firmwareFile->text());
    const OpenFileRequest request{kBrowseTitle, kBrowseFilter,
                                  current.fileName().isEmpty() ? QString() : current.path(),
                                  current.fileName()};
    if (const std::optional<QString> chosen = m_fileDialog.GetOpenFileName(window(), request)) {
        m_firmwareFile->setText(*chosen);
        LoadFirmwareFile();
    }
}

void SetupPanel::LoadFirmwareFile()
{
    const QFileInfo file(m_firmwareFile->text());
    m_firmwareModified = file.lastModified();
    m_firmwareSize = file.size();
    EventLoopHost host;
    const std::atomic<bool> notCancelled{false};
    m_firmware = LoadFirmware(m_firmwareFile->text(), host, notCancelled);
    m_firmwareFile->setToolTip(VisibleText(m_firmwareFile->text())); // the whole path
    ShowFirmware();
    Recheck();
}

void SetupPanel::ShowFirmware()
{
    if (m_firmwareFile->text().isEmpty())
        m_firmwareFacts->setText(QStringLiteral("Choose the firmware file every device gets."));
    else if (m_firmware->Loaded())
        m_firmwareFacts->setText(FactsText(*m_firmware));
    else
        m_firmwareFacts->setText(
            (QStringLiteral("Refused: ") + VisibleText(m_firmware->ProblemText())).toHtmlEscaped());
}

void SetupPanel::CheckRecord()
{
    QString error;
    m_record = RecordFromSetting(m_recordField->text(), error);
    m_recordNote->setText(m_record ? QString() : QStringLiteral("Refused: ") + VisibleText(error));
    m_recordNote->setVisible(!m_record);
    Recheck();
}

void SetupPanel::CheckFolder()
{
    const QString folder = m_watchedFolder->text().trimmed();
    const QFileInfo info(folder);
    m_folderUsable = !folder.isEmpty() && (!info.exists() || info.isDir());
    if (folder.isEmpty())
        m_folderNote->setText(QStringLiteral("Refused: name the folder whose links are ports"));
    else if (!m_folderUsable)
        m_folderNote->setText(
            QStringLiteral("Refused: %1 is not a folder").arg(VisibleText(folder)));
    else if (!info.exists())
        m_folderNote->setText(QStringLiteral("Not there yet: watched until it appears"));
    else
        m_folderNote->clear();
    m_folderNote->setVisible(!m_folderNote->text().isEmpty());
    Recheck();
}

void SetupPanel::Recheck()
{
    const bool ready = m_firmware && m_firmware->Loaded() && m_record && m_folderUsable;
    if (ready == m_ready)
        return;
    m_ready = ready;
    emit ReadyChanged(ready);
}
