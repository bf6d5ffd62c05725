#include "serverprocess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

const char* const kPortWords = "on UDP port ";
// How often a start or a stop looks at the process again.
constexpr auto kPollInterval = std::chrono::milliseconds(20);
constexpr double kKilobytesPerMegabyte = 1024;
constexpr double kNanosecondsPerSecond = 1e9;
// Fields 14 and 15 of /proc/<pid>/stat (utime, stime), counted after the
// command name's closing parenthesis, which is field 2.
constexpr int kUtimeAfterName = 11;

double steadyNow() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

long fileSize(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? static_cast<long>(status.st_size) : 0;
}

} // namespace

ServerProcess::ServerProcess(std::string executable, std::string logPath)
    : executable(std::move(executable)), logPath(std::move(logPath)) {}

ServerProcess::~ServerProcess() {
    if (isRunning()) {
        kill();
    }
}

bool ServerProcess::start(const std::vector<std::string>& arguments, double timeoutSeconds,
                          std::string& reason) {
    const long logStart = fileSize(logPath);
    const int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (log < 0) {
        reason = "log " + logPath + " cannot be opened: " + std::strerror(errno);
        return false;
    }
    std::vector<std::string> words{executable};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(log, STDERR_FILENO);
        ::execv(executable.c_str(), argv.data());
        std::fprintf(stderr, "netbench: %s cannot be started: %s\n", executable.c_str(),
                     std::strerror(errno));
        ::_exit(127);
    }
    ::close(log);
    if (pid < 0) {
        reason = std::string("fork failed: ") + std::strerror(errno);
        return false;
    }
    child = pid;
    const double deadline = steadyNow() + timeoutSeconds;
    while (steadyNow() < deadline) {
        int status = 0;
        if (::waitpid(child, &status, WNOHANG) == child) {
            child = -1;
            reason = executable + " ended at its start; see " + logPath;
            return false;
        }
        if (const uint16_t port = portFromLog(logStart); port != 0) {
            servedPort = port;
            return true;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    kill();
    reason = executable + " named no port within " + std::to_string(timeoutSeconds) + " s; see " + logPath;
    return false;
}

void ServerProcess::kill() {
    if (!isRunning()) {
        return;
    }
    account();
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    child = -1;
}

int ServerProcess::stop(double timeoutSeconds) {
    if (!isRunning()) {
        return -1;
    }
    account();
    ::kill(child, SIGTERM);
    const double deadline = steadyNow() + timeoutSeconds;
    while (steadyNow() < deadline) {
        int status = 0;
        if (::waitpid(child, &status, WNOHANG) == child) {
            child = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    kill();
    return -1;
}

double ServerProcess::cpuSeconds() const {
    return endedCpu + (isRunning() ? runningCpuSeconds() : 0);
}

double ServerProcess::waitSeconds() const {
    return endedWait + (isRunning() ? runningWaitSeconds() : 0);
}

double ServerProcess::peakMegabytes() const {
    return std::max(endedPeak, isRunning() ? runningPeakMegabytes() : 0);
}

void ServerProcess::account() {
    endedCpu += runningCpuSeconds();
    endedWait += runningWaitSeconds();
    endedPeak = std::max(endedPeak, runningPeakMegabytes());
}

double ServerProcess::runningCpuSeconds() const {
    std::ifstream stat("/proc/" + std::to_string(child) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // The command name may hold spaces and parentheses: fields count from its last ')'.
    const std::string::size_type close = text.rfind(')');
    if (close == std::string::npos) {
        return 0;
    }
    std::istringstream fields(text.substr(close + 1));
    std::string skipped;
    for (int i = 0; i < kUtimeAfterName; ++i) {
        fields >> skipped;
    }
    unsigned long long user = 0, system = 0;
    fields >> user >> system;
    return static_cast<double>(user + system) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

double ServerProcess::runningWaitSeconds() const {
    // Nanoseconds on a processor, then waiting on a run queue, then time slices.
    std::ifstream schedstat("/proc/" + std::to_string(child) + "/schedstat");
    unsigned long long running = 0, waiting = 0;
    schedstat >> running >> waiting;
    return static_cast<double>(waiting) / kNanosecondsPerSecond;
}

double ServerProcess::runningPeakMegabytes() const {
    std::ifstream status("/proc/" + std::to_string(child) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::strtod(line.c_str() + std::strlen("VmHWM:"), nullptr) / kKilobytesPerMegabyte;
        }
    }
    return 0;
}

uint16_t ServerProcess::portFromLog(long offset) const {
    std::ifstream log(logPath);
    log.seekg(offset);
    // The log wraps long messages, marking each cut with a backslash: the
    // pieces are joined again before the port is looked for.
    std::string joined, line;
    while (std::getline(log, line)) {
        const std::string::size_type colon = line.find(':');
        const bool continued = !line.empty() && line.back() == '\\';
        joined +=
            line.substr(colon == std::string::npos ? 0 : colon + 1,
                        line.size() - (colon == std::string::npos ? 0 : colon + 1) - (continued ? 1 : 0));
        if (!continued) {
            joined += '\n';
        }
    }
    const std::string::size_type at = joined.find(kPortWords);
    if (at == std::string::npos) {
        return 0;
    }
    const unsigned long port = std::strtoul(joined.c_str() + at + std::strlen(kPortWords), nullptr, 10);
    return port > 0 && port <= UINT16_MAX ? static_cast<uint16_t>(port) : 0;
}
