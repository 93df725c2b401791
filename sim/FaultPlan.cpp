#include "FaultPlan.h"

#include <QStringList>

namespace {

bool ToNumber(const QString& text, int64_t minimum, int64_t maximum, int64_t& value)
{
    bool ok = false;
    value = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
                ? text.mid(2).toLongLong(&ok, 16)
                : text.toLongLong(&ok, 10);
    return ok && value >= minimum && value <= maximum;
}

bool Fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

bool AddReplyFault(FaultPlan& plan, ReplyFaultKind kind, const QStringList& fields,
                   const QString& item, QString* error)
{
    const bool hasCode = kind == ReplyFaultKind::Change;
    const bool mayHaveDelay = kind == ReplyFaultKind::Late;
    const qsizetype required = hasCode ? 4 : 3;
    if (fields.size() != required && !(mayHaveDelay && fields.size() == 4))
        return Fail(error, QStringLiteral("wrong number of fields in \"%1\"").arg(item));
    int64_t command = 0;
    int64_t reply = 0;
    if (!ToNumber(fields[1], 1, 1000000000, command) || !ToNumber(fields[2], 1, 4, reply))
        return Fail(error, QStringLiteral("bad command or reply number in \"%1\"").arg(item));
    ReplyFault fault{kind, static_cast<int>(command), static_cast<int>(reply)};
    int64_t extra = 0;
    if (hasCode) {
        if (!ToNumber(fields[3], 0, 255, extra))
            return Fail(error, QStringLiteral("bad reply code in \"%1\"").arg(item));
        fault.code = static_cast<uint8_t>(extra);
    }
    if (kind == ReplyFaultKind::Late) {
        fault.delayMs = kDefaultLateMs;
        if (fields.size() == 4) {
            if (!ToNumber(fields[3], 0, 3600000, extra))
                return Fail(error, QStringLiteral("bad delay in \"%1\"").arg(item));
            fault.delayMs = extra;
        }
    }
    plan.replyFaults.push_back(fault);
    return true;
}

} // namespace

const ReplyFault* FaultPlan::FaultFor(int command, int reply) const
{
    for (const ReplyFault& fault : replyFaults) {
        if (fault.command == command && fault.reply == reply)
            return &fault;
    }
    return nullptr;
}

bool AddFaults(FaultPlan& plan, const QString& text, QString* error)
{
    for (const QString& rawItem : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString item = rawItem.trimmed();
        const QStringList fields = item.split(QLatin1Char(':'));
        const QString& name = fields.front();
        bool ok = true;
        if (name == QLatin1String("no-polls") && fields.size() == 1) {
            plan.neverAnswerPolls = true;
        } else if (name == QLatin1String("garbage-polls") && fields.size() == 1) {
            plan.garbagePolls = true;
        } else if (name == QLatin1String("fail-verify") && fields.size() == 1) {
            plan.failVerify = true;
        } else if (name == QLatin1String("close-after") && fields.size() == 2) {
            int64_t count = 0;
            ok = ToNumber(fields[1], 0, 1000000000, count) ||
                 Fail(error, QStringLiteral("bad command count in \"%1\"").arg(item));
            plan.closeAfterCommands = static_cast<int>(count);
        } else if (name == QLatin1String("drop")) {
            ok = AddReplyFault(plan, ReplyFaultKind::Drop, fields, item, error);
        } else if (name == QLatin1String("change")) {
            ok = AddReplyFault(plan, ReplyFaultKind::Change, fields, item, error);
        } else if (name == QLatin1String("one-byte")) {
            ok = AddReplyFault(plan, ReplyFaultKind::OneByte, fields, item, error);
        } else if (name == QLatin1String("late")) {
            ok = AddReplyFault(plan, ReplyFaultKind::Late, fields, item, error);
        } else if (name == QLatin1String("garbage")) {
            ok = AddReplyFault(plan, ReplyFaultKind::Garbage, fields, item, error);
        } else {
            ok = Fail(error, QStringLiteral("unknown fault \"%1\"").arg(item));
        }
        if (!ok)
            return false;
    }
    return true;
}

std::optional<FaultPlan> ParseFaultPlan(const QString& text, QString* error)
{
    FaultPlan plan;
    if (!AddFaults(plan, text, error))
        return std::nullopt;
    return plan;
}

QString FaultPlanHelp()
{
    return QStringLiteral(
        "Faults (comma-separated, --fault may be given more than once):\n"
        "  no-polls          never answer a poll: the bootloader seems never to start\n"
        "  garbage-polls     answer every poll with noise\n"
        "  drop:N:K          drop reply K of command N\n"
        "  change:N:K:CODE   reply K of command N carries CODE instead (decimal or 0x..)\n"
        "  one-byte:N:K      send only the first byte of reply K of command N\n"
        "  late:N:K[:MS]     send reply K of command N MS ms late (default 12000)\n"
        "  garbage:N:K       send noise instead of reply K of command N\n"
        "  fail-verify       the image check after the header fails (report 7)\n"
        "  close-after:N     close the line when command N+1 arrives (a pulled cable) and\n"
        "                    end, as a stop does\n"
        "Commands are the packet commands in the order received, counted from 1; replies\n"
        "are counted from 1 within a command. The verify report after the header is reply 3\n"
        "of the header command.\n");
}
