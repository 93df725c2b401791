#pragma once

#include <QString>

inline const QString kApplicationTitle = QStringLiteral("Tessary Norvane Upgrader");

// The kinds of message a download shows, each with its icon and buttons in the window.
enum class MessageKind
{
    Error,       // error icon, OK
    Warning,     // warning icon, OK
    Information, // information icon, OK
    YesNo,       // a question: warning icon, Yes and No
};

enum class Answer
{
    Ok,
    Yes,
    No,
};

// A message: its prompt, kind and title (empty: the application title), and the reason in a
// sentence, shown under the prompt (empty: none).
struct MessageBoxText
{
    QString prompt;
    MessageKind kind;
    QString title;
    QString detail;
};

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

    // Shows a message and returns the answer: Ok for a message, Yes or No for a question.
    [[nodiscard]] virtual Answer Ask(const MessageBoxText& message) = 0;
};
