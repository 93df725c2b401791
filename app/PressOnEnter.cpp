#include "PressOnEnter.h"

#include <QKeyEvent>
#include <QPushButton>

namespace {

class EnterPressesButton : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* press = static_cast<QKeyEvent*>(event);
        if (press->key() != Qt::Key_Return && press->key() != Qt::Key_Enter)
            return false;
        // Enter held down presses once: focus moves on as a run starts, and the repeats
        // must not press the button that takes it.
        if (press->isAutoRepeat())
            return true;
        static_cast<QPushButton*>(watched)->click();
        return true;
    }
};

} // namespace

void PressOnEnter(QPushButton* button)
{
    button->installEventFilter(new EnterPressesButton(button));
}
