#include "central/CentralWorker.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace central {

namespace {
// The line under the main window's buttons; the reasons come from the store
// and the database as they are.
std::string Line(const char* text, const std::string& a)
{
    return QCoreApplication::translate("central", text).arg(QString::fromStdString(a)).toStdString();
}
}  // namespace

std::string StateLine(const SyncResult& r)
{
    switch (r.status) {
    case SyncResult::UpToDate:
        return QCoreApplication::translate("central", "Central: up to date").toStdString();
    case SyncResult::BadString:
    case SyncResult::Unreachable: {
        std::string why = r.why;
        if (why.rfind("cannot connect: ", 0) == 0) why.erase(0, 16);
        return Line(QT_TRANSLATE_NOOP("central", "Central: cannot connect: %1"), why);
    }
    case SyncResult::Incomplete: break;
    }
    // Nothing stored waits, yet it did not finish: the reason is the news.
    if (r.waiting <= 0) return Line(QT_TRANSLATE_NOOP("central", "Central: %1"), r.why);
    return Line(r.waiting == 1 ? QT_TRANSLATE_NOOP("central", "Central: %1 test waiting")
                               : QT_TRANSLATE_NOOP("central", "Central: %1 tests waiting"),
                std::to_string(r.waiting));
}

int RetrySeconds(int previous) { return previous <= 0 ? 5 : std::min(previous * 2, 300); }

CentralWorker::CentralWorker(std::string folder, QObject* parent)
    : QObject(parent),
      m_Folder(std::move(folder))
{ }

CentralWorker::~CentralWorker() { Stop(); }

void CentralWorker::Wake()
{
    if (m_WakeFd < 0) return;
    const uint64_t one = 1;
    (void)!write(m_WakeFd, &one, sizeof one);
}

void CentralWorker::Stop()
{
    if (m_Thread.joinable()) {
        m_Stop = true;
        Wake();
        m_Thread.join();
    }
    if (m_WakeFd >= 0) close(m_WakeFd);
    m_WakeFd = -1;
    m_Stop = false;
}

QString CentralWorker::Restart()
{
    Stop();
    CentralSettings s;
    std::string why;
    if (!ReadCentralSettings(m_Folder, s, why))
        return QString::fromStdString(Line(QT_TRANSLATE_NOOP("central", "Central: %1"), why));
    if (!s.enabled) return {};
    if (const std::string bad = CheckCentralSettings(s); !bad.empty())
        return QString::fromStdString(Line(QT_TRANSLATE_NOOP("central", "Central: %1"), bad));
    SyncOptions o;
    o.folder = m_Folder;
    o.url = s.url;
    o.station = StationName(s.station);
    // A long first sync stops at its next batch when the program ends.
    o.stageHook = [this](int, SyncOptions::Stage) { return !m_Stop; };
    o.stop = &m_Stop;
    m_WakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_WakeFd < 0) return tr("Central: cannot start: %1").arg(QString::fromUtf8(strerror(errno)));
    m_Thread = std::thread([this, o] { Run(o); });
    return tr("Central: connecting");
}

void CentralWorker::Run(SyncOptions o)
{
    // A stored test changes the log and then appends to the ledger; the
    // folder is watched for both (the state file beside them is ours).
    const int watch = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    if (watch >= 0)
        inotify_add_watch(watch, (m_Folder + "/data").c_str(), IN_CLOSE_WRITE | IN_MOVED_TO | IN_MODIFY);
    auto changed = [&] {
        bool ours = false;
        alignas(inotify_event) char buf[4096];
        for (ssize_t n; (n = read(watch, buf, sizeof buf)) > 0;)
            for (char* p = buf; p < buf + n;) {
                const auto* e = reinterpret_cast<const inotify_event*>(p);
                if (e->len &&
                    (std::strcmp(e->name, "seal.log") == 0 || std::strcmp(e->name, "measurelog.dat") == 0))
                    ours = true;
                p += sizeof(inotify_event) + e->len;
            }
        return ours;
    };
    int pause = 0;   // seconds of the last back-off; 0: none
    int waitMs = 0;  // until the next try; -1: until something changes
    std::string last;
    while (!m_Stop) {
        if (waitMs != 0) {
            pollfd fds[2] = {{m_WakeFd, POLLIN, 0}, {watch, POLLIN, 0}};
            const int ready = poll(fds, watch >= 0 ? 2 : 1, waitMs);
            if (m_Stop) break;
            if (ready > 0 && (fds[1].revents & POLLIN) && !changed()) continue;
            // The store's writes of one test come together: let them settle.
            while (ready > 0 && poll(&fds[1], 1, 30) > 0 && !m_Stop) changed();
        }
        const SyncResult r = SyncFolder(o);
        if (resultHook) resultHook(r);
        if (const std::string line = StateLine(r); line != last) {
            last = line;
            emit stateChanged(QString::fromStdString(line));
        }
        for (const SyncConflict& c : r.conflicts) {
            const QString text = tr("The central database holds another test %1 of station %2: %3. It was "
                                    "not overwritten; run an "
                                    "audit.")
                                     .arg(QString::number(c.testno), QString::fromStdString(o.station),
                                          QString::fromStdString(c.what));
            if (m_Said.insert(text.toStdString()).second) emit conflictFound(text);
        }
        if (r.status == SyncResult::UpToDate || !r.conflicts.empty() || r.status == SyncResult::BadString) {
            // Done, or only a person can mend it: wait for the next test.
            pause = 0;
            waitMs = -1;
        } else if (r.why.find("is being stored") != std::string::npos) {
            waitMs = 1000;  // its seal entry comes in a moment
        } else {
            pause = RetrySeconds(pause);
            waitMs = pause * 1000;
        }
    }
    if (watch >= 0) close(watch);
}

}  // namespace central
