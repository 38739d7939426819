#pragma once

#include <QObject>

#include <chrono>
#include <functional>

class QSocketNotifier;

// Turns SIGTERM, SIGHUP and SIGINT into a Qt signal on the event loop, so that the
// shutdown they ask for runs like any other event and not inside a signal handler.
class UnixSignals : public QObject {
    Q_OBJECT

public:
    explicit UnixSignals(QObject* parent = nullptr);
    ~UnixSignals() override;

    // After a signal, ends the process if the event loop has not done so within
    // deadline: lastWords runs on a thread of its own, then the process exits at
    // once. The last resort for an event loop kept busy for seconds, such as by
    // thousands of windows appearing at the same time.
    void setDeadline(std::chrono::milliseconds deadline, std::function<void()> lastWords);

    // Whether a signal has arrived that received() has not reported yet: long work
    // on the event loop's thread asks this to stop early.
    bool pending() const;

signals:
    void received(int signalNumber);

private:
    void readPending();

    QSocketNotifier* m_notifier = nullptr;
};
