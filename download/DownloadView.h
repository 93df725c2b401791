#pragma once

#include <QString>

// Message box styles (the standard flags: icon plus buttons).
constexpr int kStyleError = 16;         // error icon, OK
constexpr int kStyleOkCancelError = 17; // error icon, OK and Cancel
constexpr int kStyleWarning = 48;       // warning icon, OK
constexpr int kStyleInformation = 64;   // information icon, OK
constexpr int kStyleYesNoWarning = 52;  // warning icon, Yes and No
constexpr int kAnswerOk = 1;
constexpr int kAnswerCancel = 2;
constexpr int kAnswerYes = 6;
constexpr int kAnswerNo = 7;

inline const QString kApplicationTitle = QStringLiteral("Tessary Norvane Upgrader");

// Everything a download shows, and the one question it asks. The window shows it in its
// status bar, progress bar, buttons and message boxes; the command line prints it.
class DownloadView
{
public:
    virtual ~DownloadView() = default;

    virtual void ShowStatus(const QString& text) = 0;    // the status line (panel 1)
    virtual void ShowFileState(const QString& text) = 0; // panel 2: "File: ..." state
    virtual void ShowPercent(const QString& text) = 0;   // panel 3: "37 %" or empty

    virtual void SetProgressVisible(bool visible) = 0;
    virtual void SetProgressMaximum(int maximum) = 0;
    virtual void SetProgressValue(int value) = 0;

    virtual void SetCancelVisible(bool visible) = 0;   // CmdCancel
    virtual void SetDownloadEnabled(bool enabled) = 0; // CmdDownload
    virtual void FocusDownload() = 0;                  // input focus to CmdDownload

    // Shows a message box and returns the button pressed (kAnswerOk, kAnswerYes, ...).
    // An empty title means the application title.
    virtual int MessageBox(const QString& prompt, int style, const QString& title) = 0;
};
