#include "core/trace.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace korvane {
namespace {

namespace fs = std::filesystem;

// The variable is read once per process, so this is the only test of the file.
TEST(Trace, AppendsLabelledTimesThatNeverGoBack)
{
    const fs::path file = fs::temp_directory_path() / ("korvane-trace-" + std::to_string(getpid()));
    fs::remove(file);
    std::ofstream(file) << "earlier 1\n";
    setenv("KORVANE_TRACE_FILE", file.c_str(), 1);

    traceMark("accepted");
    traceMark("started");

    std::ifstream in(file);
    std::vector<std::string> labels;
    std::vector<long long> times;
    std::string label;
    long long time = 0;
    while (in >> label >> time) {
        labels.push_back(label);
        times.push_back(time);
    }
    fs::remove(file);

    ASSERT_EQ(labels, (std::vector<std::string> { "earlier", "accepted", "started" }));
    EXPECT_GT(times[1], 0);
    EXPECT_LE(times[1], times[2]);
}

} // namespace
} // namespace korvane
