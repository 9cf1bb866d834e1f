// The session log: line format, file names, and the writer thread.
#include "SessionLog.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <ctime>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr auto kFlushPeriod = std::chrono::seconds(1);
constexpr char kNamePrefix[] = "Orvanta-";

bool Digits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "Orvanta-YYYYMMDD-HHMMSS.log", or "...-HHMMSS-N.log" for a second run started
// in the same second. Other files in the folder are not ours to remove.
bool IsLogName(std::string_view name)
{
    const std::string_view prefix = kNamePrefix;
    if (name.size() < prefix.size() + 19 || name.substr(0, prefix.size()) != prefix ||
        name.substr(name.size() - 4) != ".log")
        return false;
    std::string_view stamp = name.substr(prefix.size(), name.size() - prefix.size() - 4);
    if (!Digits(stamp.substr(0, 8)) || stamp[8] != '-' || !Digits(stamp.substr(9, 6)))
        return false;
    std::string_view rest = stamp.substr(15);
    return rest.empty() || (rest[0] == '-' && Digits(rest.substr(1)));
}

// The name when it is plain ASCII (ours always are), else empty.
std::string AsciiName(const fs::path& file)
{
    const fs::path name = file.filename();  // kept: the loop reads its storage
    std::string out;
    for (auto c : name.native()) {
        if (c <= 0 || c > 0x7E)
            return {};
        out += char(c);
    }
    return out;
}

std::FILE* OpenForWriting(const fs::path& file)
{
#ifdef _WIN32
    // Text mode: CR LF line ends, as Notepad expects.
    return _wfopen(file.c_str(), L"w");
#else
    return std::fopen(file.c_str(), "w");
#endif
}

}  // namespace

LogTime LocalTimeNow()
{
    auto now = std::chrono::system_clock::now();
    std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    // Only the panel's thread asks for the time.
    const std::tm* local = std::localtime(&seconds);
    LogTime time;
    if (local) {
        time.year = local->tm_year + 1900;
        time.month = local->tm_mon + 1;
        time.day = local->tm_mday;
        time.hour = local->tm_hour;
        time.minute = local->tm_min;
        time.second = local->tm_sec;
    }
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    time.millisecond = int(ms < 0 ? ms + 1000 : ms);
    return time;
}

std::string EscapeLogText(std::string_view text)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                out += "\\x";
                out += kHex[c >> 4];
                out += kHex[c & 0xF];
            } else {
                out += ch;
            }
        }
    }
    return out;
}

std::string FormatLogLine(const LogTime& t, bool out, bool nested, std::string_view text)
{
    char head[64];
    std::snprintf(head, sizeof head, "%04d-%02d-%02d %02d:%02d:%02d.%03d %s %s ", t.year, t.month, t.day, t.hour,
                  t.minute, t.second, t.millisecond, out ? "out" : "in ", nested ? "nested" : "      ");
    return head + EscapeLogText(text) + "\n";
}

std::string LogFileName(const LogTime& t)
{
    char name[64];
    std::snprintf(name, sizeof name, "%s%04d%02d%02d-%02d%02d%02d.log", kNamePrefix, t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    return name;
}

CSessionLog::CSessionLog(std::function<LogTime()> clock) : m_clock(std::move(clock)) { }

CSessionLog::~CSessionLog() { Close(); }

void CSessionLog::Open(const fs::path& folder)
{
    if (folder.empty() || m_writer.joinable())
        return;
    m_folder = folder;
    LogTime started = m_clock();
    {
        std::lock_guard lock(m_mutex);
        m_state = State::kStarting;
        m_stop = false;
    }
    try {
        m_writer = std::thread(&CSessionLog::Run, this, started);
    } catch (const std::system_error&) {
        std::lock_guard lock(m_mutex);
        m_state = State::kOff;
    }
}

void CSessionLog::Append(bool out, bool nested, std::string_view text)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_state == State::kOff)
            return;
    }
    std::string line = FormatLogLine(m_clock(), out, nested, text);
    std::lock_guard lock(m_mutex);
    if (m_state == State::kOff)
        return;
    // A writer that cannot keep up is a disk that cannot be written.
    if (m_pending.size() + line.size() > kMaxPending) {
        TurnOff();
        m_wake.notify_all();
        return;
    }
    m_pending += line;
}

void CSessionLog::Flush()
{
    {
        std::lock_guard lock(m_mutex);
        m_flushNow = true;
    }
    m_wake.notify_all();
}

void CSessionLog::Close()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_writer.joinable())
        m_writer.join();
    std::lock_guard lock(m_mutex);
    m_state = State::kOff;
}

fs::path CSessionLog::File()
{
    std::unique_lock lock(m_mutex);
    m_started.wait(lock, [this] { return m_state != State::kStarting; });
    return m_state == State::kOn ? m_file : fs::path();
}

// Under the lock.
void CSessionLog::TurnOff()
{
    m_state = State::kOff;
    m_pending.clear();
    m_pending.shrink_to_fit();
}

// On the writer thread.
bool CSessionLog::Start(const LogTime& started)
{
    std::error_code error;
    fs::create_directories(m_folder, error);
    if (error || !fs::is_directory(m_folder, error))
        return false;

    // Room for this run's log among the newest kKeep. Names sort by time.
    std::vector<std::string> logs;
    for (fs::directory_iterator it(m_folder, error), end; !error && it != end; it.increment(error)) {
        std::string name = AsciiName(it->path());
        if (IsLogName(name) && it->is_regular_file(error))
            logs.push_back(std::move(name));
    }
    std::sort(logs.begin(), logs.end());
    for (size_t i = 0; i + (kKeep - 1) < logs.size(); ++i)
        fs::remove(m_folder / logs[i], error);  // one in use stays

    std::string name = LogFileName(started);
    fs::path file = m_folder / name;
    for (int n = 2; fs::exists(file, error) && n < 100; ++n)
        file = m_folder / (name.substr(0, name.size() - 4) + "-" + std::to_string(n) + ".log");
    if (fs::exists(file, error))
        return false;
    m_stream = OpenForWriting(file);
    if (!m_stream)
        return false;
    m_file = file;
    return true;
}

// On the writer thread: starts the log, then writes what the panel appended at
// least once a second, and everything left when asked to stop.
void CSessionLog::Run(LogTime started)
{
    bool ok = false;
    try {
        ok = Start(started);
    } catch (...) {
        // Nothing may leave the thread; a log that cannot start is off.
    }
    std::unique_lock lock(m_mutex);
    if (!ok)
        TurnOff();
    else if (m_state == State::kStarting)
        m_state = State::kOn;
    m_started.notify_all();
    while (ok) {
        m_wake.wait_for(lock, kFlushPeriod, [this] { return m_stop || m_flushNow || m_state == State::kOff; });
        if (m_state == State::kOff)
            break;
        m_flushNow = false;
        bool stop = m_stop;
        std::string chunk;
        chunk.swap(m_pending);
        lock.unlock();
        bool written = chunk.empty() ||
            (std::fwrite(chunk.data(), 1, chunk.size(), m_stream) == chunk.size() && std::fflush(m_stream) == 0);
        lock.lock();
        if (!written) {
            TurnOff();
            break;
        }
        if (stop && m_pending.empty())
            break;
    }
    lock.unlock();
    if (m_stream) {
        // Some full disks fail only here; nothing is left to tell.
        std::fclose(m_stream);
        m_stream = nullptr;
    }
}
