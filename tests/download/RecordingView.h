#pragma once

#include "DownloadView.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

// A DownloadView that records everything a run shows and answers message boxes from a script.
using ShownBox = MessageBoxText;

class RecordingView : public DownloadView
{
public:
    void ShowStatus(const QString& text) override;
    void ShowFileState(const QString& text) override { fileState = text; }
    void ShowPercent(const QString& text) override;
    void SetProgressVisible(bool visible) override { progressVisible = visible; }
    void SetProgressMaximum(int maximum) override { progressMaximum = maximum; }
    void SetProgressValue(int value) override { progressValue = value; }
    void SetCancelVisible(bool visible) override { cancelVisible = visible; }
    void SetDownloadEnabled(bool enabled) override { downloadEnabled = enabled; }
    void FocusDownload() override { ++focusCount; }
    Answer Ask(const MessageBoxText& box) override;

    // Answers for the coming message boxes, in order; a box without one is answered OK
    // (No for the Yes/No question).
    std::deque<Answer> answers;
    // Called when a status text is shown, before the run goes on.
    std::function<void(const QString&)> onStatus;
    // Called when a percentage is shown after a step.
    std::function<void(const QString&)> onPercent;
    // Called when a box is shown, before it is answered.
    std::function<void(const ShownBox&)> onBox;

    QStringList statuses;
    QStringList percents;
    std::vector<ShownBox> boxes;
    QString status;
    QString fileState;
    QString percent;
    bool progressVisible = false;
    int progressMaximum = 0;
    int progressValue = 0;
    bool cancelVisible = false;
    bool downloadEnabled = true;
    int focusCount = 0;
};
