#pragma once

#include <QByteArray>
#include <QJsonDocument>

// A document as one line of JSON: as QJsonDocument writes it, with the control characters it
// leaves as they are (DEL, the C1 and the bidirectional controls) escaped as \uHHHH too. The
// value read back is the same; a terminal that shows the line shows them rather than obeys them.
QByteArray CompactJson(const QJsonDocument& document);
