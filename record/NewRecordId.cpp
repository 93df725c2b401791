#include "DownloadRecord.h"

#include <QUuid>

QString NewRecordId()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}
