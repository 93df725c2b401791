// The reply times per adapter that history --summary and --html show: grouping, the median of
// the rows' medians, the largest wait, and which adapters are late.
#include "AdapterReplies.h"

#include "LinkQuality.h"

#include <gtest/gtest.h>

namespace {

DownloadRecord Row(const char* serial, const char* port, int programMedianMs, int programMaxMs)
{
    DownloadRecord row;
    row.host = QStringLiteral("bench-1");
    row.usbSerial = QString::fromLatin1(serial);
    row.port = QString::fromLatin1(port);
    if (programMaxMs > 0)
        row.link.Of(ReplyKind::Program) = {256, programMedianMs, programMaxMs};
    return row;
}

TEST(AdapterRepliesTest, GroupsByAdapterAndFlagsTheLateOnes)
{
    const std::vector<DownloadRecord> rows{
        Row("A10K3Q2", "COM1", 1, 3),   Row("A10K3Q2", "COM2", 2, 4),
        Row("A10K3Q2", "COM1", 1, 2),   Row("FT7Z1B9", "COM3", 17, 19),
        Row("FT7Z1B9", "COM3", 16, 18), Row("B22M8X1", "COM4", kLateReplyMs, 9),
        Row("", "/dev/pts/3", 0, 1),    Row("OLDROW1", "COM5", 0, 0), // no figures
    };
    const struct
    {
        const char* adapter;
        int rows, medianMs, maxMs;
        bool late;
    } expected[] = {
        {"A10K3Q2", 3, 1, 4, false},
        {"B22M8X1", 1, kLateReplyMs, 9, false}, // at the bound is not late
        {"FT7Z1B9", 2, 17, 19, true},           // (16 + 17) / 2, rounded up
        {"bench-1:/dev/pts/3", 1, 0, 1, false}, // no serial: the port on its host
    };
    const std::vector<AdapterReplies> adapters = RepliesPerAdapter(rows);
    ASSERT_EQ(adapters.size(), std::size(expected));
    for (size_t i = 0; i < adapters.size(); ++i) {
        const AdapterReplies& a = adapters[i];
        EXPECT_EQ(a.adapter.toStdString(), expected[i].adapter);
        EXPECT_EQ(std::make_tuple(a.rows, a.programMedianMs, a.programMaxMs, a.late),
                  std::make_tuple(expected[i].rows, expected[i].medianMs, expected[i].maxMs,
                                  expected[i].late))
            << expected[i].adapter;
    }
}

} // namespace
