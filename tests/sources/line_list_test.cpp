#include "sources/line_list.hpp"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <stdexcept>

#include "ground/files.hpp"
#include "support/temp_dir.hpp"

namespace compattatore {
namespace {

namespace fs = std::filesystem;
using testing::slurp;
using testing::spit;
using testing::temp_dir;

const std::string sentinel(end_sentinel);

using testing::names_in;

TEST(LineListBytes, WritesEveryLineBeforeTheSentinelWithCrLfAndNothingElse) {
    const std::vector<std::string> list = {
        "[fine", "", "  two trailing  ", "\x95", sentinel, "after the sentinel", sentinel};
    EXPECT_EQ(line_list_bytes(list), "[fine\r\n\r\n  two trailing  \r\n\x95\r\n");
}

TEST(LineListBytes, ASentinelAloneGivesAnEmptyFile) {
    EXPECT_EQ(line_list_bytes({sentinel}), "");
}

TEST(LineListBytes, OnlyTheExactSentinelEndsTheList) {
    // A line that merely contains the sentinel, or differs in case or blanks, is an ordinary line.
    const std::vector<std::string> list = {sentinel + " ", "Riferimento fine del file",
                                           "x" + sentinel, sentinel};
    EXPECT_EQ(line_list_bytes(list), list[0] + "\r\n" + list[1] + "\r\n" + list[2] + "\r\n");
}

TEST(LineListBytes, RejectsListsBeyondTheCapacityOrWithoutSentinel) {
    std::vector<std::string> full(line_list_capacity, "x");
    full.back() = sentinel;
    EXPECT_EQ(line_list_bytes(full).size(), (line_list_capacity - 1) * 3);

    std::vector<std::string> too_long(line_list_capacity + 1, "x");
    too_long.back() = sentinel;
    too_long[3] = sentinel;  // a sentinel inside the list does not excuse the size
    EXPECT_THROW(line_list_bytes(too_long), std::length_error);

    EXPECT_THROW(line_list_bytes({}), std::length_error);
    EXPECT_THROW(line_list_bytes({"a", "b"}), std::length_error);
}

TEST(WriteLineList, ReturnsTheSentinelIndexAndWritesTheBytes) {
    temp_dir dir;
    const std::vector<std::string> list = {"a", "", "c ", sentinel, "ignored"};
    EXPECT_EQ(write_line_list(dir / "out.txt", list), 3);
    EXPECT_EQ(slurp(dir / "out.txt"), "a\r\n\r\nc \r\n");
}

TEST(WriteLineList, ReplacesALongerEarlierFileWhole) {
    temp_dir dir;
    spit(dir / "out.txt", std::string(10000, 'z'));
    EXPECT_EQ(write_line_list(dir / "out.txt", {"short", sentinel}), 1);
    EXPECT_EQ(slurp(dir / "out.txt"), "short\r\n");
    EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"out.txt"});
}

TEST(WriteLineList, AFailedWriteNamesTheFileAndLeavesNoTemporaryFile) {
    temp_dir dir;
    // The target is a directory: the rename at the end fails even for root.
    fs::create_directory(dir / "out.txt");
    spit(dir / "out.txt" / "inside", "kept");
    try {
        write_line_list(dir / "out.txt", {"line", sentinel});
        FAIL() << "no file_error";
    } catch (const file_error& e) {
        EXPECT_EQ(e.path(), dir / "out.txt");
        EXPECT_NE(std::string(e.what()).find("out.txt"), std::string::npos);
    }
    EXPECT_TRUE(fs::is_directory(dir / "out.txt"));
    EXPECT_EQ(slurp(dir / "out.txt" / "inside"), "kept");
    EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"out.txt"});

    // The directory does not exist: nothing can be created.
    try {
        write_line_list(dir / "missing" / "out.txt", {"line", sentinel});
        FAIL() << "no file_error";
    } catch (const file_error& e) {
        EXPECT_EQ(e.path(), dir / "missing" / "out.txt");
    }
    EXPECT_FALSE(fs::exists(dir / "missing"));
}

#if defined(RLIMIT_FSIZE) && defined(SIGXFSZ)
// Limits the size of files this process may write, for the life of the object; root is bound by
// it too, so the write fails for real half-way through.
class file_size_limit {
  public:
    explicit file_size_limit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~file_size_limit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, old_handler_);
    }
    file_size_limit(const file_size_limit&) = delete;
    file_size_limit& operator=(const file_size_limit&) = delete;

  private:
    rlimit saved_{};
    void (*old_handler_)(int) = nullptr;
};

TEST(WriteLineList, AWriteThatFailsHalfWayLeavesTheEarlierFileIntact) {
    temp_dir dir;
    spit(dir / "out.txt", "earlier run\r\n");
    const std::vector<std::string> list(200, std::string(100, 'x'));
    std::vector<std::string> with_sentinel = list;
    with_sentinel.push_back(sentinel);
    {
        const file_size_limit limit(4096);
        EXPECT_THROW(write_line_list(dir / "out.txt", with_sentinel), file_error);
    }
    EXPECT_EQ(slurp(dir / "out.txt"), "earlier run\r\n");
    EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"out.txt"});
}
#endif

}  // namespace
}  // namespace compattatore
