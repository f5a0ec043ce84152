// Sends stored tests to the central database from a thread of its own, so a
// test is never kept waiting on the server: once at start, again whenever the
// test log or the seal ledger changes (a test was stored), and after a
// failure with a growing pause. The thread touches no widget: it emits the
// main window's one state line and each conflict, queued to the window.
#pragma once

#include "central/CentralSettings.h"
#include "central/CentralSync.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>

namespace central {

// The state line of the main window after a sync.
std::string StateLine(const SyncResult& r);
// The pause before the next try after `previous` seconds (0: the first failure).
int RetrySeconds(int previous);

class CentralWorker : public QObject {
    Q_OBJECT
public:
    explicit CentralWorker(std::string folder, QObject* parent = nullptr);
    ~CentralWorker() override;  // stops the thread and joins it

    // Takes up conf/central.conf: starts the thread when sending is on,
    // stops it when off. Returns the state line shown meanwhile.
    QString Restart();
    void Stop();
    bool Running() const { return m_Thread.joinable(); }

    // Benchmarks and tests: called on the thread after each sync.
    std::function<void(const SyncResult&)> resultHook;

signals:
    void stateChanged(const QString& line);
    // One conflicting test, said once per run of the program.
    void conflictFound(const QString& text);

private:
    void Run(SyncOptions options);
    void Wake();

    std::string m_Folder;
    std::thread m_Thread;
    int m_WakeFd = -1;
    std::atomic<bool> m_Stop{false};
    std::set<std::string> m_Said;  // conflicts said (thread only)
};

}  // namespace central
