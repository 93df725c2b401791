#include "AppSettings.h"

#include <QSettings>

namespace {

const QString kGroupSettings = QStringLiteral("Settings");

// Longer than any path the system accepts: such a value is damage, not a file name.
constexpr qsizetype kMaxPathLength = 4096;

class SettingsGroup
{
public:
    SettingsGroup() : m_store(QSettings::NativeFormat, QSettings::UserScope, kSettingsOrganisation)
    {
        m_store.beginGroup(kGroupSettings);
    }
    QSettings& Store() { return m_store; }

private:
    QSettings m_store;
};

} // namespace

QString ReadSetting(const QString& key)
{
    SettingsGroup group;
    const QVariant value = group.Store().value(key);
    // A damaged file can hold a list or a binary value where text belongs.
    if (value.typeId() != QMetaType::QString)
        return QString();
    return value.toString();
}

void WriteSetting(const QString& key, const QString& value)
{
    SettingsGroup group;
    group.Store().setValue(key, value);
}

int16_t ReadComPortSetting()
{
    SettingsGroup group;
    if (!group.Store().contains(kKeyComPort))
        return kFirstComPort;
    bool isNumber = false;
    const int port = ReadSetting(kKeyComPort).toInt(&isNumber);
    if (!isNumber || port < kFirstComPort || port > kLastComPort)
        return kNoComPort;
    return static_cast<int16_t>(port);
}

void WriteComPortSetting(int16_t port)
{
    WriteSetting(kKeyComPort, QString::number(port));
}

QString ReadLastFileSetting()
{
    const QString fileName = ReadSetting(kKeyLastFile);
    return fileName.size() > kMaxPathLength ? QString() : fileName;
}

void WriteLastFileSetting(const QString& fileName)
{
    WriteSetting(kKeyLastFile, fileName);
}
