#pragma once

#include "LinkQuality.h"

#include <QDateTime>
#include <QString>

#include <cstdint>

// One download as the record keeps it: who ran it where, with which firmware, and how it
// ended. Fields the system cannot tell (the USB facts of a pseudo-terminal) stay empty.
struct DownloadRecord
{
    QString id; // unique, made where the download ran (NewRecordId)
    QDateTime started;
    QDateTime finished;
    QString host;
    QString user;
    QString program; // "norvane-flash", "norvane-upgrader"
    QString programVersion;

    QString port;         // as the user named it: COM3, /dev/serial/by-id/...
    QString devicePath;   // the device it reached: /dev/ttyUSB0
    QString usbVendorId;  // four hex digits, e.g. "0403"
    QString usbProductId; // four hex digits
    QString usbSerial;
    QString adapter; // the adapter's maker and name as the system reports them

    QString firmwareFile;
    QString firmwareCrc; // four upper-case hex digits
    int32_t firmwareStart = 0;
    int32_t firmwareEnd = 0;
    QString firmwareSha256; // 64 lower-case hex digits
    bool headerDue = false;

    QString outcome; // the outcome names of norvane-flash --json: "downloaded", "failed", ...
    QString reason;  // why it failed, as a short word; empty when it did not fail
    int exitCode = 0;
    QString detail;
    int stepsDone = 0;
    int stepsPlanned = 0;
    int64_t bytesSent = 0;
    int64_t bytesReceived = 0;
    int64_t durationMs = 0;
    LinkQuality link; // reply waits per kind of command, the packet phase against the wire
};

// A new unique row id (a random UUID), made on this machine.
QString NewRecordId();
