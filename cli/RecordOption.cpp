#include "RecordOption.h"

#include "RecordFile.h"

#include <cstdio>

std::optional<RecordTarget> RecordFromOption(const QString& spec, RecordUse use, QString& error)
{
    std::optional<RecordTarget> target = ParseRecordTarget(spec, error);
    if (!target)
        return std::nullopt;
    if (use == RecordUse::Write || !target->IsServer()) {
        error = RecordFileProblem(target->file);
        if (!error.isEmpty())
            return std::nullopt;
    }
    if (!target->serverPassword.isEmpty())
        std::fputs("norvane-flash: warning: the password in the --record address shows in the "
                   "process list to every user of this computer; give it in PGPASSWORD or "
                   "~/.pgpass instead (see norvane-flash(1))\n",
                   stderr);
    return target;
}
