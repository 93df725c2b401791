#pragma once

#include "DownloadRecord.h"

#include <QDateTime>
#include <QString>

#include <vector>

// norvane-flash history --html: one self-contained page (inline CSS and SVG, nothing fetched)
// for a supervisor: downloads over time, outcome shares, how long downloads take, where the
// failures are, and the newest rows. rows come newest first; source names the record.
QString HistoryPageHtml(const std::vector<DownloadRecord>& rows, const QString& source,
                        const QDateTime& made);
