#pragma once

#include <QString>

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
