#pragma once
// Runs the real bingo-hall program for a test: every port 0 (any free port), its own file in
// a temporary folder unless the arguments name one with --db, waits for its ready line and
// reads the ports from it; the destructor ends it with SIGTERM.
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class HallProcess {
public:
    // Starts BINGO_HALL_EXE with `extraArguments` after the port options and waits up to
    // `timeoutMs` for the ready line.
    explicit HallProcess(const QStringList& extraArguments = {}, int timeoutMs = 10000);
    ~HallProcess();
    HallProcess(const HallProcess&) = delete;
    HallProcess& operator=(const HallProcess&) = delete;

    bool isReady() const { return ready_; }
    QString error() const { return error_; }
    QString readyLine() const { return readyLine_; }

    QString webHost() const { return webHost_; }   // "127.0.0.1:port"
    quint16 webPort() const { return webPort_; }
    quint16 requestPort() const { return requestPort_; }
    quint16 salesPort() const { return salesPort_; }
    quint16 gamePort() const { return gamePort_; }

    // Sends SIGTERM and waits; returns the exit code, or -1 when it did not end in time
    // (it is then killed) or crashed.
    int terminate(int timeoutMs = 5000);
    QProcess& process() { return process_; }

private:
    QTemporaryDir dbDir_;
    QProcess process_;
    bool ready_ = false;
    QString error_;
    QString readyLine_;
    QString webHost_;
    quint16 webPort_ = 0;
    quint16 requestPort_ = 0;
    quint16 salesPort_ = 0;
    quint16 gamePort_ = 0;
};
