#pragma once
// SIGTERM, SIGINT and SIGHUP (a session logging out, kill, Ctrl+C in a
// terminal, a closed terminal) reach the event loop as a Qt signal, so that
// the player quits the way its Quit command does: settings written, sound
// stopped at a buffer boundary, the single-instance socket removed, exit 0.
//
// The handler only writes the signal's number to a pipe, which is all a
// handler may safely do; a socket notifier reads it on the owner's thread. A
// second signal of the same kind, should quitting hang, ends the process as
// the default would.
#include <QObject>

class QSocketNotifier;

namespace gx {

class QuitSignals : public QObject {
    Q_OBJECT
public:
    // Catches the three signals from now on; one object per process.
    explicit QuitSignals(QObject* parent = nullptr);
    // The signals go back to their default.
    ~QuitSignals() override;
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

    // Whether the signals are caught (a pipe could be had).
    bool catching() const { return notifier_ != nullptr; }

signals:
    // On the owner's thread, once per signal caught.
    void quitRequested(int signalNumber);

private:
    void readPipe();

    QSocketNotifier* notifier_ = nullptr;
};

} // namespace gx
