#pragma once
// The command line of a run without a window: probator --run FILE and its options.

#include <string>
#include <string_view>
#include <vector>

namespace tester {

enum class ReportFormat { JUnit, Json };

struct RunOptions
{
    bool run = false; // --run was given: no window is opened
    std::string sequence;
    std::string port;
    bool simulate = false;
    bool keepGoing = false;
    std::string report;
    ReportFormat format = ReportFormat::JUnit;
    std::string recordDir;
    std::string error; // what is wrong with the command line, for exit status 2
};

// Reads `arguments` (the program's name not included). Each option is "--name VALUE" or
// "--name=VALUE"; options of a run given without --run, and options no one knows while
// --run is given, are errors. Without --run only --port is looked at (the window's).
RunOptions FindRunOptions(const std::vector<std::string> &arguments);

// The folder of a unit's records, from the fields of a successful Read ESN: the ESN's
// value when it is a safe file name (letters, digits, '-' and '_', at most 64), else
// "unknown". A unit's answer never chooses a path outside the record folder.
std::string RecordFolder(std::u16string_view fieldText);

} // namespace tester
