#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

// A sporrik-server child process for the benchmark: started with its
// arguments and its standard error appended to a log file, killed with
// SIGKILL or stopped with SIGTERM, and measured through /proc while it runs.
// The processor time and the peak memory cover every process it started.
class ServerProcess {
public:
    ServerProcess(std::string executable, std::string logPath);
    // Kills a process still running.
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    // Starts the server and waits up to timeoutSeconds for its log to name
    // the UDP port it serves on; false with the reason otherwise.
    bool start(const std::vector<std::string>& arguments, double timeoutSeconds, std::string& reason);
    // SIGKILL, at once; the process is reaped.
    void kill();
    // SIGTERM, then waits up to timeoutSeconds (SIGKILL after that). The
    // exit status, or -1 when it had to be killed or was not running.
    int stop(double timeoutSeconds);
    bool isRunning() const { return child > 0; }

    uint16_t port() const { return servedPort; }
    // Processor seconds (user and system) of every process started so far,
    // the running one read from /proc/<pid>/stat.
    double cpuSeconds() const;
    // Seconds the processes were ready to run but waited for a processor
    // (/proc/<pid>/schedstat): what other work on the machine cost them.
    double waitSeconds() const;
    // The largest peak resident size (VmHWM) of the processes, in megabytes.
    double peakMegabytes() const;

private:
    // Reads the running process's figures into the totals before it goes.
    void account();
    double runningCpuSeconds() const;
    double runningWaitSeconds() const;
    double runningPeakMegabytes() const;
    // The port from the log's start line written after offset, 0 until then.
    uint16_t portFromLog(long offset) const;

    std::string executable;
    std::string logPath;
    pid_t child = -1;
    uint16_t servedPort = 0;
    double endedCpu = 0;
    double endedWait = 0;
    double endedPeak = 0;
};
