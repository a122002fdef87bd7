// Under Wine each test program is one line of the run, so a case that
// skipped would pass unseen: after the cases, list every skipped one with
// its reason and count them, and append the list to a file beside the
// program, which the run's summary (skipped_cases.sh) gathers.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string SkipReason(const ::testing::TestResult& result) {
    for (int i = 0; i < result.total_part_count(); ++i) {
        const ::testing::TestPartResult& part = result.GetTestPartResult(i);
        if (part.skipped() && part.message() != nullptr && *part.message() != '\0') {
            return part.message();
        }
    }
    return "no reason given";
}

std::string ProgramName() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    return path;
}

class SkipReport : public ::testing::EmptyTestEventListener {
    void OnTestProgramEnd(const ::testing::UnitTest& unit) override {
        std::vector<std::string> lines;
        for (int s = 0; s < unit.total_test_suite_count(); ++s) {
            const ::testing::TestSuite* suite = unit.GetTestSuite(s);
            for (int t = 0; t < suite->total_test_count(); ++t) {
                const ::testing::TestInfo* info = suite->GetTestInfo(t);
                if (info->should_run() && info->result()->Skipped()) {
                    std::string reason = SkipReason(*info->result());
                    // One line each: a reason may end in a line break.
                    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) {
                        reason.pop_back();
                    }
                    lines.push_back(std::string(suite->name()) + "." + info->name() + ": " + reason);
                }
            }
        }
        const std::string program = ProgramName();
        std::printf("Skipped cases: %d of %d\n", static_cast<int>(lines.size()), unit.test_to_run_count());
        for (const std::string& line : lines) {
            std::printf("  skipped %s\n", line.c_str());
        }
        std::fflush(stdout);
        if (lines.empty()) {
            return;
        }
        if (FILE* log = std::fopen((program + ".skipped").c_str(), "a")) {
            for (const std::string& line : lines) {
                std::fprintf(log, "%s: %s\n", program.c_str(), line.c_str());
            }
            std::fclose(log);
        }
    }
};

const bool g_reporting = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new SkipReport);
    return true;
}();

}  // namespace
