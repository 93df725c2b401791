#pragma once

#include <QObject>

#include <memory>

// Wakes the main thread's event loop when a stop signal arrives (Ctrl-C, and whatever else
// InstallStopSignals treats as one), so that a program idle in its event loop notices
// at once without polling. Create it after InstallStopSignals; only one at a time.
class InterruptNotifier : public QObject
{
    Q_OBJECT

public:
    explicit InterruptNotifier(QObject* parent = nullptr);
    ~InterruptNotifier() override;

signals:
    void Interrupted();

private:
    struct Private;
    std::unique_ptr<Private> m_private;
};
