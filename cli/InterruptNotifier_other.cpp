#include "InterruptNotifier.h"

#include "FlashSignals.h"

#include <QTimer>

// Without a pipe to wake the event loop from a signal handler, the stop flag is looked at a
// few times a second.
struct InterruptNotifier::Private
{
    QTimer timer;
};

InterruptNotifier::InterruptNotifier(QObject* parent)
    : QObject(parent), m_private(std::make_unique<Private>())
{
    constexpr int kLookIntervalMs = 200;
    connect(&m_private->timer, &QTimer::timeout, this, [this] {
        if (StopRequested()) {
            m_private->timer.stop();
            emit Interrupted();
        }
    });
    m_private->timer.start(kLookIntervalMs);
}

InterruptNotifier::~InterruptNotifier() = default;
