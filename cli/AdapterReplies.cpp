#include "AdapterReplies.h"

#include "LinkQuality.h"

#include <QMap>

#include <algorithm>

namespace {

// An adapter is known by its serial number, which is written on it. A line without one (a
// pseudo-terminal, a built-in port) is told apart by its port on its host.
QString AdapterKey(const DownloadRecord& row)
{
    if (!row.usbSerial.isEmpty())
        return row.usbSerial;
    return row.host.isEmpty() ? row.port : row.host + QLatin1Char(':') + row.port;
}

int Median(std::vector<int> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle] + 1) / 2;
}

} // namespace

std::vector<AdapterReplies> RepliesPerAdapter(const std::vector<DownloadRecord>& rows)
{
    QMap<QString, std::vector<const ReplyWaits*>> byAdapter;
    for (const DownloadRecord& row : rows) {
        const ReplyWaits& program = row.link.Of(ReplyKind::Program);
        if (program.count > 0)
            byAdapter[AdapterKey(row)].push_back(&program);
    }
    std::vector<AdapterReplies> adapters;
    for (auto it = byAdapter.cbegin(); it != byAdapter.cend(); ++it) {
        AdapterReplies entry;
        entry.adapter = it.key();
        entry.rows = static_cast<int>(it.value().size());
        std::vector<int> medians;
        for (const ReplyWaits* waits : it.value()) {
            medians.push_back(waits->medianMs);
            entry.programMaxMs = std::max(entry.programMaxMs, waits->maxMs);
        }
        entry.programMedianMs = Median(medians);
        entry.late = entry.programMedianMs > kLateReplyMs;
        adapters.push_back(entry);
    }
    return adapters;
}
