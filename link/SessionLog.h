// The session log: every command Orvanta sends to Skype and every notice it
// receives, one line each, in one file per run:
//   2024-05-01 14:03:07.412 out        ALTER APPLICATION remotecontrol CONNECT orvanta.robot
//   2024-05-01 14:03:07.413 in  nested APPLICATION remotecontrol STREAMS orvanta.robot:1
// "nested" marks a line that came while one of our own sends to Skype was
// running (a notice Skype sent from inside our command, or a command sent while
// handling such a notice).
//
// The panel only formats a line and appends it to a buffer; a writer thread of
// the log's own makes the folder, removes old logs, and writes the buffer at
// least once a second. Whatever goes wrong with the disk turns the log off for
// the run, silently: the panel never waits for the disk and never sees an error.
#pragma once
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

// Local wall-clock time to the millisecond.
struct LogTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
};
LogTime LocalTimeNow();

// The text with backslashes and control characters written as escapes
// (\n, \r, \t, \\, \xHH), so a line of the log is one line of text.
std::string EscapeLogText(std::string_view text);
// One line of the log, with its line break.
std::string FormatLogLine(const LogTime& time, bool out, bool nested, std::string_view text);
// "Orvanta-20240501-140307.log".
std::string LogFileName(const LogTime& time);

class CSessionLog {
public:
    // Logs a folder keeps: the newest ones, this run's among them.
    static constexpr int kKeep = 20;
    // What may wait in memory for the disk before the log gives up.
    static constexpr size_t kMaxPending = 4u << 20;

    explicit CSessionLog(std::function<LogTime()> clock = LocalTimeNow);
    ~CSessionLog();
    CSessionLog(const CSessionLog&) = delete;
    CSessionLog& operator=(const CSessionLog&) = delete;

    // Starts this run's log in folder; an empty folder leaves the log off.
    // Returns at once: the writer makes the folder, removes all but the newest
    // kKeep - 1 logs there and creates the new one.
    void Open(const std::filesystem::path& folder);
    void Command(std::string_view text, bool nested) { Append(true, nested, text); }
    void Notice(std::string_view text, bool nested) { Append(false, nested, text); }
    // Asks the writer to write what waits now, without waiting for it.
    void Flush();
    // Writes what is left and ends the writer: at close-down.
    void Close();

    // The log's file, once the writer has created it; empty while it starts
    // and when the log is off. Waits for the start (the disk) at most once.
    std::filesystem::path File();
    const std::filesystem::path& Folder() const { return m_folder; }

private:
    enum class State { kOff, kStarting, kOn };

    void Append(bool out, bool nested, std::string_view text);
    void Run(LogTime started);
    bool Start(const LogTime& started);
    void TurnOff();

    std::function<LogTime()> m_clock;
    std::filesystem::path m_folder;
    std::mutex m_mutex;
    std::condition_variable m_wake;     // the writer: lines to write now, or stop
    std::condition_variable m_started;  // File(): the start is over
    State m_state = State::kOff;
    std::string m_pending;
    bool m_flushNow = false;
    bool m_stop = false;
    std::filesystem::path m_file;   // the writer's; published under the lock once open
    std::FILE* m_stream = nullptr;  // the writer's only
    std::thread m_writer;
};
