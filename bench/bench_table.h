// bench_table.h - the benchmark's one output: a fixed table, one row per
// figure, in the same order and format on every run so that runs of
// different versions can be compared line by line.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

struct BenchRow {
    std::string name;
    std::string ours;   // value with its unit, or "n/a"
    std::string peer;   // the peer's value, measured in the same run
    std::string ratio;  // our cost over the peer's cost; "-" when not measured
    std::string target; // the ratio asked for, "-" when none is set
    std::string note;   // how it was measured, or why it is n/a
};

// A row of two costs (times, sizes): ratio ours / peer.
BenchRow CostRow(const std::string &name, double ours, double peer, const char *unit, const std::string &target,
                 const std::string &note);
// A row of two rates (calls per second): ratio peer / ours, the cost ratio.
BenchRow RateRow(const std::string &name, double ours, double peer, const char *unit, const std::string &target,
                 const std::string &note);
// A row that could not be measured in this run.
BenchRow NaRow(const std::string &name, const std::string &target, const std::string &reason);

// Formats into a std::string (snprintf rules).
std::string Format(const char *format, ...) __attribute__((format(__MINGW_PRINTF_FORMAT, 1, 2)));

void PrintTable(const std::vector<std::string> &header, const std::vector<BenchRow> &rows);
