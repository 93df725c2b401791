#pragma once

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

// Ctrl-C (SIGINT), SIGTERM (a time-out, a service manager) and SIGHUP (a closed terminal) as a
// request to stop. The signal handler only passes the first one on; the main thread's event
// loop takes it, raises Requested(), which worker threads poll, and emits Stopped. A second
// one ends the program at once with 128 + its number; a SIGHUP after a SIGHUP counts once, as
// a closing terminal may send two.
//
// Create it on the main thread where the program starts to take stops; there is one at a time.
class StopSignals : public QObject
{
    Q_OBJECT

public:
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;

    // Whether a stop has been taken; set on the main thread, polled by the workers.
    static const std::atomic<bool>& Requested();

    // What a second stop writes to standard error before it ends the program, or null for
    // nothing: what ending at once may have left undone. note must live as long as the program
    // (a string literal); the signal handler writes it as it stands.
    static void SetSecondStopNote(const char* note);

    // From now on a stop ends the program at once with exitCode: nothing is left to stop, and
    // what is left to do (writing output that a reader may never take) must not hold it up. A
    // stop that came before ends it a second from now, as no second one may follow.
    void EndAtOnceOnStop(int exitCode);
    // Runs ending (writing what is left of the output) on a thread of its own while this
    // thread goes on taking stops, and returns once it has run; a stop meanwhile ends the
    // program at once with exitCode, as EndAtOnceOnStop says.
    void EndAtOnceOnStopWhile(int exitCode, const std::function<void()>& ending);

signals:
    void Stopped(int signalNumber);

private:
    void OnStop(int signalNumber);

    struct Private; // how the handler reaches the main thread, per platform
    std::unique_ptr<Private> m_private;
    std::optional<int> m_exitCodeOnStop;
};
