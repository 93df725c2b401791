#pragma once

#include <QString>

// Text from the record as the history page shows it. A control character, which a browser
// would hide or obey (a right-to-left override turns the text after it around), is shown as
// its code: "<U+202E>".
QString PageText(const QString& text);
