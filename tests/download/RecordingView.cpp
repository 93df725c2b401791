#include "RecordingView.h"

void RecordingView::ShowStatus(const QString& text)
{
    status = text;
    statuses << text;
    if (onStatus)
        onStatus(text);
}

void RecordingView::ShowPercent(const QString& text)
{
    percent = text;
    if (text.isEmpty())
        return;
    percents << text;
    if (onPercent)
        onPercent(text);
}

Answer RecordingView::Ask(const MessageBoxText& box)
{
    boxes.push_back(box);
    if (onBox)
        onBox(box);
    if (!answers.empty()) {
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return box.kind == MessageKind::YesNo ? Answer::No : Answer::Ok;
}
