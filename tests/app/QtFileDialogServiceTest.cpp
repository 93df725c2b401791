// The real open-file dialog leaves no file of its own in the settings folder: Qt's dialog
// writes its state to "QtProject" when it closes, and the window writes only its settings.
#include "QtFileDialogService.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// The dialog's state file as Qt names it, in the tests' private settings folder.
QString StateFile()
{
    return QSettings(QSettings::UserScope, QStringLiteral("QtProject")).fileName();
}

// Opens the real dialog and closes it as the user's Escape would.
void OpenAndCancelDialog()
{
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    closer.start(10);
    EXPECT_FALSE(QtFileDialogService().GetOpenFileName(
        nullptr, {QStringLiteral("Select"), QStringLiteral("S-Record Releases (*.mot)"), QString(),
                  QString()}));
}

TEST(QtFileDialogServiceTest, StateFileIsLeftOnlyWhereItWasBefore)
{
    for (const bool wasThere : {false, true}) {
        SCOPED_TRACE(wasThere ? "another program's state file" : "no state file");
        QFile::remove(StateFile());
        if (wasThere) {
            QSettings other(QSettings::UserScope, QStringLiteral("QtProject"));
            other.setValue(QStringLiteral("Other/key"), 1);
        }
        OpenAndCancelDialog();
        EXPECT_EQ(QFileInfo::exists(StateFile()), wasThere);
    }
    QFile::remove(StateFile());
}

} // namespace
