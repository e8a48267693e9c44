#pragma once

#include "core/profiles/results.h"

#include <vector>

// How the command line shows what became of settings sent to printers, from the one result
// model: the record on standard output, what went wrong and why on standard error.
namespace cli {

struct Context;

// The exit status a printer's result stands for: Ok when it ended as asked, else the status of
// its worst outcome.
int exitOf(const profile::PrinterResult &printer, const profile::Asked &asked);
// Of many printers: Ok when every one ended as asked, else the first one's that did not.
int exitOf(const std::vector<profile::PrinterResult> &printers, const profile::Asked &asked);

// One printer on its own (restore): a line a page; a dry run names the printer and lists the
// frames it would send.
void showPages(Context &c, const profile::PrinterResult &printer, const profile::Asked &asked);
// One printer of many (restore --all, provision): its line (USB path, serial number, pages,
// outcome); a dry run's frames after it.
void showLine(Context &c, const profile::PrinterResult &printer, const profile::Asked &asked);
// "4 台打印机：2 台已写入并核对，1 台未改变，1 台失败", on standard error.
void showSummary(Context &c, const std::vector<profile::PrinterResult> &printers);

} // namespace cli
