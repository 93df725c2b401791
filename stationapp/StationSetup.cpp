#include "StationSetup.h"

#include <QSettings>

namespace {

const QString kGroupStation = QStringLiteral("Station");
const QString kKeyFirmwareFile = QStringLiteral("FirmwareFile");
const QString kKeyWatchedFolder = QStringLiteral("WatchedFolder");
const QString kKeyJobs = QStringLiteral("Jobs");
const QString kKeyRetries = QStringLiteral("Retries");
const QString kKeyRecord = QStringLiteral("Record");
const QString kKeyIncludePresent = QStringLiteral("FlashPresentPorts");

QString TextOr(const QSettings& settings, const QString& key, const QString& fallback)
{
    const QVariant value = settings.value(key);
    return value.typeId() == QMetaType::QString ? value.toString() : fallback;
}

int NumberOr(const QSettings& settings, const QString& key, int maximum, int fallback)
{
    bool isNumber = false;
    const int value = settings.value(key).toInt(&isNumber);
    return isNumber && value >= 0 && value <= maximum ? value : fallback;
}

} // namespace

StationSetup ReadStationSetup(QSettings& settings)
{
    settings.beginGroup(kGroupStation);
    const StationSetup defaults;
    StationSetup setup;
    setup.firmwareFile = TextOr(settings, kKeyFirmwareFile, defaults.firmwareFile);
    setup.watchedFolder = TextOr(settings, kKeyWatchedFolder, defaults.watchedFolder);
    if (setup.watchedFolder.isEmpty())
        setup.watchedFolder = defaults.watchedFolder;
    setup.jobs = NumberOr(settings, kKeyJobs, kMaxStationJobs, defaults.jobs);
    setup.retries = NumberOr(settings, kKeyRetries, kMaxStationRetries, defaults.retries);
    setup.record = TextOr(settings, kKeyRecord, defaults.record);
    // Text once read back from the file, a truth value as written until then.
    setup.includePresent = settings.value(kKeyIncludePresent).toString() == QLatin1String("true");
    settings.endGroup();
    return setup;
}

void WriteStationSetup(QSettings& settings, const StationSetup& setup)
{
    settings.beginGroup(kGroupStation);
    settings.setValue(kKeyFirmwareFile, setup.firmwareFile);
    settings.setValue(kKeyWatchedFolder, setup.watchedFolder);
    settings.setValue(kKeyJobs, setup.jobs);
    settings.setValue(kKeyRetries, setup.retries);
    settings.setValue(kKeyRecord, setup.record);
    settings.setValue(kKeyIncludePresent, setup.includePresent);
    settings.endGroup();
    settings.sync();
}
