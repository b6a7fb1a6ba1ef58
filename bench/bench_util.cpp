// bench_util.cpp - clock, statistics, child programs, file trees, memory.
#include "bench_util.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <sstream>

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

ChildRun RunQuiet(const std::string &commandLine, DWORD timeoutMs)
{
    ChildOptions options;
    options.timeoutMs = timeoutMs;
    options.captureOutput = true;
    options.quiet = true;
    return RunChild(commandLine, options);
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
