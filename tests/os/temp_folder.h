#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>
#include <thread>

namespace korvane::testing {

// An empty folder of the running test's own under the system's temporary folder, removed
// with this object. Windows keeps a running program's file: removing waits, patiently, for
// the programs started from it to end.
class TempFolder {
public:
    TempFolder()
        : m_path(std::filesystem::temp_directory_path()
            / ("korvane-" + std::to_string(std::random_device()()) + "-"
                + ::testing::UnitTest::GetInstance()->current_test_info()->name()))
    {
        std::filesystem::create_directories(m_path);
    }
    ~TempFolder()
    {
        std::error_code error;
        for (int waited = 0; std::filesystem::remove_all(m_path, error), error; waited += 10) {
            if (waited >= 30000) {
                ADD_FAILURE() << "could not remove " << m_path;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    [[nodiscard]] const std::filesystem::path &path() const { return m_path; }
    [[nodiscard]] std::filesystem::path operator/(const std::filesystem::path &name) const
    {
        return m_path / name;
    }

private:
    std::filesystem::path m_path;
};

} // namespace korvane::testing
