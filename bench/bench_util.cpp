// bench_util.cpp - clock, statistics, child programs, file trees, memory.
#include "bench_util.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <sstream>

double NowMs()
{
    static const double s_perMs = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return double(f.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return double(c.QuadPart) / s_perMs;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double Worst(const std::vector<double> &values)
{
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

std::string BinDir()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder = path;
    folder.erase(folder.find_last_of('\\') + 1);
    return folder;
}

void Progress(const char *format, ...)
{
    static const double s_start = NowMs();
    va_list args;
    va_start(args, format);
    fprintf(stderr, "bench: %6.1f s: ", (NowMs() - s_start) / 1000);
    vfprintf(stderr, format, args);
    fputc('\n', stderr);
    fflush(stderr);
    va_end(args);
}

namespace {

std::string ReadWholeFile(const std::string &path)
{
    CFileHandle h(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr));
    std::string text;
    if (!h)
        return text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(h.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        text.append(buffer, read);
    return text;
}

} // namespace

ChildRun RunChild(const std::string &commandLine, DWORD timeoutMs)
{
    ChildRun run;
    char temp[MAX_PATH] = {}, outPath[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    if (!GetTempFileNameA(temp, "sbb", 0, outPath))
        return run;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    {
        CFileHandle out(CreateFileA(outPath, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr));
        CFileHandle nul(CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                    OPEN_EXISTING, 0, nullptr));
        STARTUPINFOA si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = nul.Get();
        si.hStdOutput = out.Get();
        si.hStdError = nul.Get();
        std::vector<char> line(commandLine.begin(), commandLine.end());
        line.push_back('\0');
        PROCESS_INFORMATION pi{};
        const double start = NowMs();
        if (out && CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
            CKernelHandle process(pi.hProcess), thread(pi.hThread);
            run.started = true;
            if (WaitForSingleObject(process.Get(), timeoutMs) != WAIT_OBJECT_0) {
                run.timedOut = true;
                TerminateProcess(process.Get(), WAIT_TIMEOUT);
                WaitForSingleObject(process.Get(), 5000);
            }
            run.ms = NowMs() - start;
            GetExitCodeProcess(process.Get(), &run.exitCode);
        }
    }
    run.output = ReadWholeFile(outPath);
    DeleteFileA(outPath);
    return run;
}

ChildRun RunSelf(const std::string &arguments, DWORD timeoutMs)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    return RunChild("\"" + std::string(path) + "\" " + arguments, timeoutMs);
}

std::string OutputValue(const std::string &output, const std::string &key)
{
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.compare(0, key.size() + 1, key + " ") == 0)
            return line.substr(key.size() + 1);
    }
    return std::string();
}

bool WriteBytes(const std::string &path, size_t size, unsigned seed)
{
    CFileHandle h(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h)
        return false;
    std::vector<char> block(std::min<size_t>(size, 64 * 1024));
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = char('a' + (seed + i) % 26);
    size_t left = size;
    while (left > 0) {
        const DWORD chunk = DWORD(std::min(left, block.size()));
        DWORD written = 0;
        if (!WriteFile(h.Get(), block.data(), chunk, &written, nullptr) || written != chunk)
            return false;
        left -= chunk;
    }
    return true;
}

bool MakeFolder(const std::string &path)
{
    return CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

void RemoveTree(const std::string &path)
{
    WIN32_FIND_DATAA fd;
    CFindHandle find(FindFirstFileA((path + "\\*").c_str(), &fd));
    if (find) {
        do {
            const std::string name = fd.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string full = path + "\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                DeleteFileA(full.c_str());
        } while (FindNextFileA(find.Get(), &fd));
    }
    find.Reset();
    RemoveDirectoryA(path.c_str());
}

TreeCount CountTree(const std::string &path)
{
    TreeCount count;
    WIN32_FIND_DATAA fd;
    CFindHandle find(FindFirstFileA((path + "\\*").c_str(), &fd));
    if (!find)
        return count;
    do {
        const std::string name = fd.cFileName;
        if (name == "." || name == "..")
            continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            const TreeCount sub = CountTree(path + "\\" + name);
            count.files += sub.files;
            count.folders += sub.folders + 1;
            count.bytes += sub.bytes;
        } else {
            ++count.files;
            count.bytes += (unsigned long long)fd.nFileSizeHigh << 32 | fd.nFileSizeLow;
        }
    } while (FindNextFileA(find.Get(), &fd));
    return count;
}

namespace {

constexpr size_t kFanOut = 10;

bool FillTree(const std::string &folder, int depth, size_t &left, size_t size)
{
    if (!MakeFolder(folder))
        return false;
    for (size_t i = 0; i < kFanOut && left > 0; ++i) {
        char name[16];
        if (depth == 0) {
            snprintf(name, sizeof name, "\\f%02u.txt", unsigned(i));
            if (!WriteBytes(folder + name, size, unsigned(left)))
                return false;
            --left;
        } else {
            snprintf(name, sizeof name, "\\d%02u", unsigned(i));
            if (!FillTree(folder + name, depth - 1, left, size))
                return false;
        }
    }
    return true;
}

} // namespace

bool MakeNestedTree(const std::string &root, size_t files, size_t size)
{
    int depth = 0;
    for (size_t capacity = kFanOut; capacity < files; capacity *= kFanOut)
        ++depth;
    size_t left = files;
    return FillTree(root, depth, left, size) && left == 0;
}

unsigned long long PrivateBytes()
{
    unsigned long long total = 0;
    MEMORY_BASIC_INFORMATION mbi;
    const char *p = nullptr;
    while (VirtualQuery(p, &mbi, sizeof mbi) == sizeof mbi) {
        if (mbi.State == MEM_COMMIT && mbi.Type == MEM_PRIVATE)
            total += mbi.RegionSize;
        const char *next = static_cast<const char *>(mbi.BaseAddress) + mbi.RegionSize;
        if (next <= p)
            break;
        p = next;
    }
    return total;
}
