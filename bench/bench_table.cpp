// bench_table.cpp - row construction and the table's fixed layout.
#include "bench_table.h"

#include <cstdarg>
#include <cstdio>

std::string Format(const char *format, ...)
{
    char buffer[512];
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

namespace {

std::string Value(double value, const char *unit)
{
    return value >= 100 ? Format("%.0f %s", value, unit) : Format("%.2f %s", value, unit);
}

std::string Ratio(double cost, double peerCost)
{
    if (peerCost <= 0)
        return "-";
    const double ratio = cost / peerCost;
    return ratio < 10000 ? Format("%.2f", ratio) : Format("%.3g", ratio);
}

} // namespace

BenchRow CostRow(const std::string &name, double ours, double peer, const char *unit, const std::string &target,
                 const std::string &note)
{
    return {name, Value(ours, unit), Value(peer, unit), Ratio(ours, peer), target, note};
}

BenchRow RateRow(const std::string &name, double ours, double peer, const char *unit, const std::string &target,
                 const std::string &note)
{
    return {name, Value(ours, unit), Value(peer, unit), ours > 0 ? Ratio(peer, ours) : "-", target, note};
}

BenchRow NaRow(const std::string &name, const std::string &target, const std::string &reason)
{
    return {name, "n/a", "n/a", "-", target, "n/a (" + reason + ")"};
}

void PrintTable(const std::vector<std::string> &header, const std::vector<BenchRow> &rows)
{
    for (const std::string &line : header)
        printf("# %s\n", line.c_str());
    const char *format = "%-30s %-16s %-16s %-8s %-8s %s\n";
    printf(format, "figure", "ours", "peer", "ratio", "target", "note");
    for (const BenchRow &row : rows)
        printf(format, row.name.c_str(), row.ours.c_str(), row.peer.c_str(), row.ratio.c_str(), row.target.c_str(),
               row.note.c_str());
    fflush(stdout);
}
