#include "ground/terminal_colour.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <optional>
#include <string>

namespace compattatore {
namespace {

// Sets or clears one environment variable for the life of the object, then puts it back.
class scoped_environment {
  public:
    scoped_environment(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* was = std::getenv(name)) earlier_ = was;
        if (value) {
            setenv(name, value->c_str(), 1);
        } else {
            unsetenv(name);
        }
    }
    ~scoped_environment() {
        if (earlier_) {
            setenv(name_, earlier_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }
    scoped_environment(const scoped_environment&) = delete;
    scoped_environment& operator=(const scoped_environment&) = delete;

  private:
    const char* name_;
    std::optional<std::string> earlier_;
};

// A terminal of its own, so the test does not depend on how it was started.
class pseudo_terminal {
  public:
    pseudo_terminal() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
        slave_ = open(ptsname(master_), O_RDWR | O_NOCTTY);
    }
    ~pseudo_terminal() {
        if (slave_ >= 0) close(slave_);
        if (master_ >= 0) close(master_);
    }
    pseudo_terminal(const pseudo_terminal&) = delete;
    pseudo_terminal& operator=(const pseudo_terminal&) = delete;
    int fd() const { return slave_; }

  private:
    int master_ = -1;
    int slave_ = -1;
};

struct colour_case {
    const char* name;
    std::optional<std::string> no_colour;
    std::optional<std::string> term;
    bool expected;
};

const colour_case terminal_cases[] = {
    {"plain terminal", std::nullopt, "xterm-256color", true},
    {"no TERM at all", std::nullopt, std::nullopt, true},
    {"NO_COLOR set", "1", "xterm", false},
    {"NO_COLOR set to anything", "no", "xterm", false},
    {"NO_COLOR empty counts as unset", "", "xterm", true},
    {"dumb terminal", std::nullopt, "dumb", false},
};

TEST(TerminalColour, OnATerminalFollowsNoColorAndTerm) {
    const pseudo_terminal terminal;
    ASSERT_GE(terminal.fd(), 0) << "no pseudo-terminal on this machine";
    for (const colour_case& c : terminal_cases) {
        const scoped_environment no_colour("NO_COLOR", c.no_colour);
        const scoped_environment term("TERM", c.term);
        EXPECT_EQ(enable_colour(terminal.fd()), c.expected) << c.name;
    }
}

TEST(TerminalColour, NeverIntoAFileOrAPipe) {
    const scoped_environment no_colour("NO_COLOR", std::nullopt);
    const scoped_environment term("TERM", "xterm");
    int pipe_ends[2];
    ASSERT_EQ(pipe(pipe_ends), 0);
    EXPECT_FALSE(enable_colour(pipe_ends[1]));
    close(pipe_ends[0]);
    close(pipe_ends[1]);
    const int null_device = open("/dev/null", O_WRONLY);
    ASSERT_GE(null_device, 0);
    EXPECT_FALSE(enable_colour(null_device));
    close(null_device);
    EXPECT_FALSE(enable_colour(-1));
}

}  // namespace
}  // namespace compattatore
