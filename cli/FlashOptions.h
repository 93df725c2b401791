#pragma once

#include <QString>
#include <QStringList>

// The command line of norvane-flash flash.
struct FlashOptions
{
    QStringList ports;   // one run per port, all at once
    QString fileName;    // the S-record file
    QString traceFile;   // empty: no trace
    QString record;      // --record: empty for the default record file
    int retries = 0;     // new tries after a download failed on the line
    bool json = false;   // one JSON object per line instead of text
    bool dryRun = false; // print the plan of the download, open no port
    bool help = false;
};

// Reads the arguments that follow "flash". False with a one-line message in error when they
// are wrong. "--" ends the options: what follows is the file name, even if it starts with "-".
bool ParseFlashOptions(const QStringList& args, FlashOptions& options, QString& error);

// The text of norvane-flash flash --help.
const char* FlashUsageText();
