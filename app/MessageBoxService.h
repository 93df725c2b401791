#pragma once

#include "DownloadView.h"

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

// Shows a message box and returns the button pressed (kAnswerOk, kAnswerYes, ...). The style
// number picks the icon and buttons (16 error, 17 error with OK and Cancel, 48 warning,
// 52 warning with Yes and No, 64 information); an empty title means the application title.
// The detail, when given, is shown under the text: the system's reason for a failure.
class MessageBoxService
{
public:
    virtual ~MessageBoxService() = default;

    virtual int Show(const QString& text, int style, const QString& title,
                     const QString& detail = QString()) = 0;
};

// The box style the window shows a download's kind of message in.
constexpr int StyleOf(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Error:
        return kStyleError;
    case MessageKind::Warning:
        return kStyleWarning;
    case MessageKind::Information:
        return kStyleInformation;
    case MessageKind::YesNo:
        return kStyleYesNoWarning;
    }
    return kStyleError;
}

// Shows a download's message in its box and returns the answer.
inline Answer ShowMessage(MessageBoxService& service, const MessageBoxText& message)
{
    switch (service.Show(message.prompt, StyleOf(message.kind), message.title, message.detail)) {
    case kAnswerYes:
        return Answer::Yes;
    case kAnswerNo:
        return Answer::No;
    default:
        return Answer::Ok;
    }
}
