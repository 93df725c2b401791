#include "DialogSupervisorPrompts.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Types as a supervisor would: into the field that has the focus, Tab to the next one, then
// the closing key in the last field.
void Type(QDialog* dialog, const QStringList& entries, Qt::Key closingKey)
{
    EXPECT_EQ(dialog->objectName(), QStringLiteral("SupervisorPasswordDialog"));
    for (const QString& entry : entries) {
        auto* field = qobject_cast<QLineEdit*>(dialog->focusWidget());
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field->echoMode(), QLineEdit::Password);
        QTest::keyClicks(field, entry);
        if (entry != entries.last())
            QTest::keyClick(field, Qt::Key_Tab);
    }
    QTest::keyClick(dialog->focusWidget(), closingKey);
}

void AnswerDialog(const QStringList& entries, Qt::Key closingKey)
{
    QTimer::singleShot(0, [=] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        Type(dialog, entries, closingKey);
        if (dialog->isVisible()) {
            ADD_FAILURE() << "the dialog stays open";
            dialog->reject();
        }
    });
}

TEST(SupervisorPasswordDialog, EnterAnswersAndEscCancels)
{
    QWidget window;
    window.show();
    DialogSupervisorPrompts prompts(&window);

    AnswerDialog({QStringLiteral("Aufsicht 4")}, Qt::Key_Return);
    EXPECT_EQ(prompts.AskPassword(), QStringLiteral("Aufsicht 4"));
    AnswerDialog({QStringLiteral("Aufsicht 4")}, Qt::Key_Escape);
    EXPECT_EQ(prompts.AskPassword(), std::nullopt);

    AnswerDialog({QStringLiteral("neu"), QStringLiteral("neu!")}, Qt::Key_Return);
    const auto entry = prompts.AskNewPassword();
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->password, QStringLiteral("neu"));
    EXPECT_EQ(entry->repeated, QStringLiteral("neu!"));
}

} // namespace
