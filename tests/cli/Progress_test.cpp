// The progress line and the summary, timed by a clock the test moves.
#include "Progress.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

using namespace kestrel::cli;
using namespace std::chrono_literals;

namespace {

struct FakeClock {
    std::chrono::steady_clock::time_point now{};
    SteadyClock Function() {
        return [this] { return now; };
    }
};

// Marks each carriage return, so that a mismatch shows where a line was redrawn.
std::string Shown(const std::ostringstream& out) {
    std::string text;
    for (char c : out.str()) {
        text += c == '\r' ? std::string("<CR>") : std::string(1, c);
    }
    return text;
}

} // namespace

TEST(progress_test, summary_text) {
    EXPECT_EQ(SummaryText(3, 2, 1), "3 files examined, 2 updated, 1 failed");
    EXPECT_EQ(SummaryText(1, 0, 1), "1 file examined, 0 updated, 1 failed");
    EXPECT_EQ(SummaryText(0, 0, 0), "0 files examined, 0 updated, 0 failed");
}

TEST(progress_test, a_known_total_over_the_threshold_is_shown_every_interval) {
    FakeClock clock;
    std::ostringstream err;
    Progress progress(err, 1000, clock.Function());
    clock.now += 50ms;
    progress.FileDone(); // not yet due
    EXPECT_EQ(err.str(), "");
    clock.now += 50ms;
    progress.FileDone(); // 2 files in 0.1 s
    EXPECT_EQ(Shown(err), "<CR>kestrel-cli: 2 of 1000 files, 20 files/s");
    for (int i = 0; i < 8; ++i) {
        clock.now += 10ms;
        progress.FileDone(); // within the interval: not redrawn
    }
    EXPECT_EQ(Shown(err), "<CR>kestrel-cli: 2 of 1000 files, 20 files/s");
    clock.now += 20ms;
    progress.FileDone(); // 11 files in 0.2 s
    EXPECT_EQ(Shown(err), "<CR>kestrel-cli: 2 of 1000 files, 20 files/s"
                          "<CR>kestrel-cli: 11 of 1000 files, 55 files/s");
    err.str("");
    progress.Clear();
    const std::size_t width = std::string("kestrel-cli: 11 of 1000 files, 55 files/s").size();
    EXPECT_EQ(Shown(err), "<CR>" + std::string(width, ' ') + "<CR>");
    err.str("");
    progress.Clear(); // nothing shows any more
    EXPECT_EQ(err.str(), "");
}

TEST(progress_test, without_a_total_it_starts_after_the_threshold) {
    FakeClock clock;
    std::ostringstream err;
    Progress progress(err, std::nullopt, clock.Function());
    for (std::size_t i = 0; i < ProgressThreshold; ++i) {
        clock.now += 1s;
        progress.FileDone();
    }
    EXPECT_EQ(err.str(), "");
    progress.Clear();
    EXPECT_EQ(err.str(), "");
    clock.now += 1s;
    progress.FileDone();
    EXPECT_EQ(Shown(err), "<CR>kestrel-cli: 201 files, 1 files/s");
}

TEST(progress_test, a_shorter_line_covers_the_longer_one_before_it) {
    FakeClock clock;
    std::ostringstream err;
    Progress progress(err, 300, clock.Function());
    clock.now += 100ms;
    for (int i = 0; i < 250; ++i) {
        progress.FileDone();
    }
    // 1 file in 0.1 s, then 250 files in 0.1 s: only the first was drawn, 1 done.
    EXPECT_EQ(Shown(err), "<CR>kestrel-cli: 1 of 300 files, 10 files/s");
    err.str("");
    clock.now += 24900ms; // 251 files in 25 s
    progress.FileDone();
    EXPECT_EQ(Shown(err), "<CR>kestrel-cli: 251 of 300 files, 10 files/s");
    err.str("");
    // A total that the run passes (files added after the count) is dropped; the shorter line
    // is padded to cover the longer one.
    Progress over(err, 201, clock.Function());
    for (int i = 0; i < 202; ++i) {
        clock.now += 1s;
        over.FileDone();
    }
    const std::string before = "kestrel-cli: 201 of 201 files, 1 files/s";
    const std::string last = "kestrel-cli: 202 files, 1 files/s";
    const std::string text = Shown(err);
    EXPECT_EQ(text.substr(text.size() - 2 * before.size() - 8),
              "<CR>" + before + "<CR>" + last + std::string(before.size() - last.size(), ' '));
}
