#include "RecordSetting.h"

#include "RecordFile.h"

std::optional<RecordTarget> RecordFromSetting(const QString& setting, QString& error)
{
    std::optional<RecordTarget> target = ParseRecordTarget(setting.trimmed(), error);
    if (!target)
        return std::nullopt;
    if (!target->serverPassword.isEmpty()) {
        error = QStringLiteral("the address holds a password: give it in PGPASSWORD or "
                               "~/.pgpass instead, the settings file is no place for it");
        return std::nullopt;
    }
    error = RecordFileProblem(target->file);
    if (!error.isEmpty())
        return std::nullopt;
    return target;
}
