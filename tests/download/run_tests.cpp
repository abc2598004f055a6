// The runner of the Windows test download (run-tests.cmd): runs each test program beside it,
// shows its output as it comes, and writes test-report.txt beside itself: this Windows, its
// keyboard layout and key names, and each test's verdict. The last line it prints is
// "N passed, M failed"; it exits 0 only when nothing failed and something passed.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The test programs of the download and how long each may take; the end-to-end test drives an X
// server and is not among them.
struct Program {
    const char* file;
    DWORD minutes;
};
constexpr Program kPrograms[] = {{"key_button_tests.exe", 5}, {"tester_dlg_tests.exe", 20}, {"soak_tests.exe", 20}};

// The eight modifiers by the key-message parameter the system names.
struct Modifier {
    const char* key;
    LONG param;
};
constexpr Modifier kModifiers[] = {
    {"left Shift", 0x002A0001},  {"right Shift", 0x00360001}, {"left Ctrl", 0x001D0001},
    {"right Ctrl", 0x011D0001},  {"left Alt", 0x00380001},    {"right Alt", 0x01380001},
    {"left Windows", 0x015B0001}, {"right Windows", 0x015C0001},
};

struct Verdicts {
    std::string lines;  // one a test: "passed  Suite.Case", with the reason for a skip
    int passed = 0, failed = 0, skipped = 0;
};

bool StartsWith(const std::string& line, const char* prefix) {
    return line.compare(0, std::strlen(prefix), prefix) == 0;
}

// GoogleTest's line for a case that ended, "[       OK ] Suite.Case (12 ms)": the case's name, or
// "" for any other line (the summary names failed cases again, without the time).
std::string EndedCase(const std::string& line, const char* tag) {
    if (!StartsWith(line, tag)) return "";
    const std::string rest = line.substr(std::strlen(tag));
    const std::size_t time = rest.rfind(" (");
    if (time == std::string::npos || rest.back() != ')' || rest.find(' ') != time) return "";
    return rest.substr(0, time);
}

// Reads one test program's output as it comes: shows it and takes its verdicts.
class OutputReader {
public:
    explicit OutputReader(Verdicts& verdicts) : m_verdicts(verdicts) {}

    void Take(const char* bytes, DWORD size) {
        std::fwrite(bytes, 1, size, stdout);
        std::fflush(stdout);
        for (DWORD i = 0; i < size; ++i) {
            if (bytes[i] == '\n') {
                Line(m_line);
                m_line.clear();
            } else if (bytes[i] != '\r') {
                m_line += bytes[i];
            }
        }
    }
    int Cases() const { return m_cases; }

private:
    void Line(const std::string& line) {
        std::string name;
        if (!(name = EndedCase(line, "[       OK ] ")).empty()) {
            Verdict("passed  ", name, m_verdicts.passed);
        } else if (!(name = EndedCase(line, "[  FAILED  ] ")).empty()) {
            Verdict("FAILED  ", name, m_verdicts.failed);
        } else if (!(name = EndedCase(line, "[  SKIPPED ] ")).empty()) {
            Verdict("skipped ", name + (m_reason.empty() ? "" : ": " + m_reason), m_verdicts.skipped);
        } else if (StartsWith(line, "[ RUN      ] ")) {
            m_reason.clear();
            m_inSkip = false;
        } else if (line.size() > 9 && line.compare(line.size() - 9, 9, ": Skipped") == 0) {
            m_inSkip = true;
        } else if (m_inSkip && !line.empty()) {
            m_reason += (m_reason.empty() ? "" : " ") + line;
        }
    }
    void Verdict(const char* verdict, const std::string& name, int& count) {
        m_verdicts.lines += verdict + name + "\r\n";
        ++count;
        ++m_cases;
        m_inSkip = false;
    }

    Verdicts& m_verdicts;
    std::string m_line, m_reason;
    bool m_inSkip = false;
    int m_cases = 0;
};

struct Watch {
    HANDLE process;
    DWORD limit;  // in milliseconds
    bool timedOut;
};

DWORD WINAPI WatchTime(void* parameter) {
    auto* watch = static_cast<Watch*>(parameter);
    if (::WaitForSingleObject(watch->process, watch->limit) == WAIT_TIMEOUT) {
        watch->timedOut = true;
        ::TerminateProcess(watch->process, 1);
    }
    return 0;
}

// Runs `path` with its output to `reader`; "" where it ran to its end with status 0, else why not.
std::string Run(const std::string& path, DWORD minutes, OutputReader& reader) {
    if (::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return "missing from the download";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!::CreatePipe(&read, &write, &inherit, 0)) return "no pipe for its output";
    ::SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = startup.hStdError = write;
    PROCESS_INFORMATION process{};
    std::string command = "\"" + path + "\"";
    const BOOL started = ::CreateProcessA(path.c_str(), &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                          &startup, &process);
    ::CloseHandle(write);  // the pipe ends when the program and its children are gone
    if (!started) {
        ::CloseHandle(read);
        return "could not be started (error " + std::to_string(::GetLastError()) + ")";
    }
    // The pipe is read here; a watcher ends a program that runs past its time, which ends the pipe.
    Watch watch{process.hProcess, minutes * 60 * 1000, false};
    HANDLE watcher = ::CreateThread(nullptr, 0, &WatchTime, &watch, 0, nullptr);
    char bytes[4096];
    DWORD got = 0;
    while (::ReadFile(read, bytes, sizeof bytes, &got, nullptr) && got > 0) reader.Take(bytes, got);
    reader.Take("\n", 1);
    ::CloseHandle(read);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    if (watcher != nullptr) {
        ::WaitForSingleObject(watcher, INFINITE);
        ::CloseHandle(watcher);
    }
    DWORD status = 0;
    ::GetExitCodeProcess(process.hProcess, &status);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    if (watch.timedOut) return "ended after " + std::to_string(minutes) + " minutes";
    if (reader.Cases() == 0) return "ran no test (status " + std::to_string(status) + ")";
    if (status != 0) return "ended with status " + std::to_string(status);
    return "";
}

std::string RegistryText(HKEY root, const std::string& key, const char* value) {
    char text[256] = {};
    DWORD size = sizeof text - 1;
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return "";
    DWORD type = 0;
    const LONG read = ::RegQueryValueExA(opened, value, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    ::RegCloseKey(opened);
    return read == ERROR_SUCCESS && type == REG_SZ ? text : "";
}

// Windows as it is: GetVersionEx answers what the program's manifest claims, ntdll the truth.
std::string WindowsVersion() {
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    using GetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
    const FARPROC found = ntdll != nullptr ? ::GetProcAddress(ntdll, "RtlGetVersion") : nullptr;
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (found != nullptr) reinterpret_cast<GetVersionFunction>(reinterpret_cast<void (*)()>(found))(&version);
    const std::string current = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    std::string said = RegistryText(HKEY_LOCAL_MACHINE, current, "ProductName");
    const std::string display = RegistryText(HKEY_LOCAL_MACHINE, current, "DisplayVersion");
    if (!display.empty()) said += " " + display;
    said += " (version " + std::to_string(version.dwMajorVersion) + "." + std::to_string(version.dwMinorVersion) +
            ", build " + std::to_string(version.dwBuildNumber) + ")";
    const FARPROC wine = ntdll != nullptr ? ::GetProcAddress(ntdll, "wine_get_version") : nullptr;
    if (wine != nullptr) {
        said += ", under Wine " + std::string(reinterpret_cast<const char* (*)()>(reinterpret_cast<void (*)()>(wine))());
    }
    return said;
}

std::string SystemFacts() {
    char layout[KL_NAMELENGTH] = {};
    ::GetKeyboardLayoutNameA(layout);
    const std::string layoutText =
        RegistryText(HKEY_LOCAL_MACHINE, std::string("SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\") + layout,
                     "Layout Text");
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    std::string facts = "Windows: " + WindowsVersion() + "\r\n";
    facts += "Keyboard layout: " + std::string(layout) + (layoutText.empty() ? "" : " (" + layoutText + ")") + "\r\n";
    facts += "ANSI code page: " + std::to_string(::GetACP()) + "; screen " + std::to_string(::GetSystemMetrics(SM_CXSCREEN)) +
             " by " + std::to_string(::GetSystemMetrics(SM_CYSCREEN)) + " at " + std::to_string(dpi) + " DPI\r\n";
    facts += "Key names (GetKeyNameTextA):\r\n";
    for (const Modifier& modifier : kModifiers) {
        char name[64] = {};
        ::GetKeyNameTextA(modifier.param, name, sizeof name);
        facts += "  " + std::string(modifier.key) + ": \"" + name + "\"\r\n";
    }
    return facts;
}

}  // namespace

int main() {
    char self[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string folder(self, length);
    folder.erase(folder.find_last_of("\\/") + 1);

    const std::string facts = SystemFacts();
    std::printf("%s", facts.c_str());
    Verdicts verdicts;
    for (const Program& program : kPrograms) {
        std::printf("\n== %s\n", program.file);
        std::fflush(stdout);
        OutputReader reader(verdicts);
        const std::string failure = Run(folder + program.file, program.minutes, reader);
        if (!failure.empty()) {
            verdicts.lines += "FAILED  " + std::string(program.file) + ": " + failure + "\r\n";
            ++verdicts.failed;
            std::printf("%s: %s\n", program.file, failure.c_str());
        }
    }
    if (verdicts.passed == 0) {  // nothing ran: no verdict to trust
        verdicts.lines += "FAILED  no test passed\r\n";
        ++verdicts.failed;
    }
    const std::string tally = std::to_string(verdicts.passed) + " passed, " + std::to_string(verdicts.failed) + " failed";

    const std::string reportPath = folder + "test-report.txt";
    const std::string report = "ZENTAQ Tester, the tests on this Windows\r\n\r\n" + facts + "\r\n" + verdicts.lines +
                               "\r\n" + std::to_string(verdicts.skipped) + " skipped\r\n" + tally + "\r\n";
    FILE* file = std::fopen(reportPath.c_str(), "wb");
    bool written = file != nullptr && std::fwrite(report.data(), 1, report.size(), file) == report.size();
    if (file != nullptr) written = std::fclose(file) == 0 && written;
    std::printf("\n%d skipped (named in the report)\n", verdicts.skipped);
    std::printf("%s\n", written ? ("the report: " + reportPath).c_str() : ("the report could not be written: " + reportPath).c_str());
    std::printf("%s\n", tally.c_str());
    return verdicts.failed == 0 && written ? 0 : 1;
}
