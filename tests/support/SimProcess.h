// The simulated instrument (build/bin/zolt7-sim) as a child process: the
// terminal's path is the first line it prints; its log tells what it received.
#pragma once

#include "BuildPaths.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <fstream>
#include <string>

inline QString SimPath() { return QString::fromStdString(BuildBin("zolt7-sim")); }

struct SimProcess {
    QProcess proc;
    QString path;  // empty when it did not start
    std::string logFile;

    SimProcess(const QStringList& args, const std::string& log) : logFile(log)
    {
        proc.setStandardErrorFile(QString::fromStdString(logFile));
        proc.start(SimPath(), args);
        if (proc.waitForStarted(5000) && proc.waitForReadyRead(5000))
            path = QString::fromLocal8Bit(proc.readLine()).trimmed();
    }
    ~SimProcess()
    {
        proc.terminate();
        if (!proc.waitForFinished(3000)) proc.kill();
    }
    // Lines of the log that contain `text` ("<- $START" for a received command).
    int Count(const std::string& text) const
    {
        std::ifstream f(logFile);
        std::string l;
        int n = 0;
        while (std::getline(f, l))
            if (l.find(text) != std::string::npos) ++n;
        return n;
    }
};
