#pragma once

#include "DownloadView.h"
#include "FlashReporter.h"

#include <QElapsedTimer>

// What one port's download shows, passed on to the reporter. The command line asks nobody:
// message boxes are reported and answered OK, and the quit question, which only a Ctrl-C
// brings up, is answered Yes.
class FlashConsoleView : public DownloadView
{
public:
    FlashConsoleView(FlashReporter& reporter, const QString& port);

    void ShowStatus(const QString& text) override;
    void ShowFileState(const QString& text) override;
    void ShowPercent(const QString& text) override;
    void SetProgressVisible(bool visible) override;
    void SetProgressMaximum(int maximum) override;
    void SetProgressValue(int value) override;
    void SetCancelVisible(bool) override {}
    void SetDownloadEnabled(bool) override {}
    void FocusDownload() override {}
    int MessageBox(const QString& prompt, int style, const QString& title) override;

    // The last message box shown, for the summary.
    QString LastMessage() const { return m_lastMessage; }

private:
    FlashReporter& m_reporter;
    QString m_port;
    QElapsedTimer m_programming; // runs from the start of programming
    int m_maximum = 0;
    int m_value = 0;
    QString m_lastMessage;
};
