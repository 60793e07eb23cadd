// Description texts that cannot be read or deleted: the compile cleans up as for any failure
// (every text discarded that can be, code 25) and then hands the file error to the run, which
// must not report success while a scratch text stays behind.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "compiler/description_files.hpp"
#include "compiler/memorizza_dati.hpp"
#include "description_fixture.hpp"
#include "ground/files.hpp"
#include "ground/result_codes.hpp"

namespace compattatore {
namespace {

using testing::description_pair;

// Texts in memory whose reads and discards can be made to fail like a file that cannot be read
// or deleted.
class faulty_description_files final : public description_files {
  public:
    faulty_description_files(std::optional<std::string> line, std::optional<std::string> train)
        : line_(std::move(line)), train_(std::move(train)) {}

    std::optional<std::string> read_line_description() override {
        calls.push_back("read line");
        if (fail_read_line) throw file_error("line.txt", "read", "Input/output error");
        return line_;
    }
    std::optional<std::string> read_train_description() override {
        calls.push_back("read train");
        if (fail_read_train) throw file_error("train.txt", "read", "Input/output error");
        return train_;
    }
    void discard_line_description() override {
        calls.push_back("discard line");
        if (fail_discard_line) throw file_error("line.txt", "delete", "Permission denied");
    }
    void discard_train_description() override {
        calls.push_back("discard train");
        if (fail_discard_train) throw file_error("train.txt", "delete", "Permission denied");
    }

    bool fail_read_line = false;
    bool fail_read_train = false;
    bool fail_discard_line = false;
    bool fail_discard_train = false;
    std::vector<std::string> calls;

  private:
    std::optional<std::string> line_;
    std::optional<std::string> train_;
};

enum fault : unsigned { read_line = 1, read_train = 2, discard_line = 4, discard_train = 8 };

struct fault_case {
    const char* name;
    unsigned faults;
    bool line_stops;  // the line description stops the compile with code 3
    const char* thrown_path;
    const char* thrown_action;
};

class FileFaults : public ::testing::TestWithParam<fault_case> {};

TEST_P(FileFaults, CleanUpRecord25AndRethrowTheFirstFileError) {
    const fault_case& k = GetParam();
    description_pair d;
    if (k.line_stops) d.general[3] = "ripetizione segnali 9, 25, 0";
    faulty_description_files files(d.line_text(), d.train_text());
    files.fail_read_line = (k.faults & read_line) != 0;
    files.fail_read_train = (k.faults & read_train) != 0;
    files.fail_discard_line = (k.faults & discard_line) != 0;
    files.fail_discard_train = (k.faults & discard_train) != 0;

    scenario_model m;
    m.line_name = "Linea";
    m.train_number = "99";
    m.profile_option = 1;
    m.error_position = testing::untouched_position;
    try {
        memorizza_dati(m, files);
        FAIL() << "no file_error came out of the compiler";
    } catch (const file_error& e) {
        EXPECT_EQ(e.path().string(), k.thrown_path);
        EXPECT_EQ(e.action(), k.thrown_action);
    }
    EXPECT_EQ(m.result_code, result::compiler_failure);
    EXPECT_EQ(m.error_position, testing::untouched_position);
    // Whatever failed, each text was asked for and each discarded once, nothing twice.
    const std::vector<std::string> calls{"read line", "discard line", "read train",
                                         "discard train"};
    EXPECT_EQ(files.calls, calls);
}

const fault_case fault_cases[] = {
    {"line_text_cannot_be_deleted", discard_line, false, "line.txt", "delete"},
    {"train_text_cannot_be_deleted", discard_train, false, "train.txt", "delete"},
    {"line_text_cannot_be_read", read_line, false, "line.txt", "read"},
    {"train_text_cannot_be_read", read_train, false, "train.txt", "read"},
    {"neither_can_be_deleted", discard_line | discard_train, false, "line.txt", "delete"},
    {"unreadable_line_that_cannot_be_deleted", read_line | discard_line, false, "line.txt", "read"},
    // A stop of the line description discards the unread train text too; that failing is still
    // a file error.
    {"train_text_after_a_line_stop", discard_train, true, "train.txt", "delete"},
    {"line_text_at_a_line_stop", discard_line, true, "line.txt", "delete"},
};

INSTANTIATE_TEST_SUITE_P(Cases, FileFaults, ::testing::ValuesIn(fault_cases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FileFaults, AnUnreadableTrainTextIsDiscardedAfterALineStopWithoutAFileError) {
    // Reading the unread train text only asks whether it is there; one that cannot be read is
    // discarded all the same, and the line description's own code stands.
    description_pair d;
    d.general[3] = "ripetizione segnali 9, 25, 0";
    faulty_description_files files(d.line_text(), d.train_text());
    files.fail_read_train = true;
    scenario_model m;
    m.line_name = "Linea";
    m.train_number = "99";
    m.profile_option = 1;
    memorizza_dati(m, files);
    EXPECT_EQ(m.result_code, result::repetition_start_not_multiple_of_50);
    const std::vector<std::string> calls{"read line", "discard line", "read train",
                                         "discard train"};
    EXPECT_EQ(files.calls, calls);
}

TEST(FileFaults, AMissingLineTextStillRemovesTheTrainText) {
    faulty_description_files files(std::nullopt, description_pair{}.train_text());
    scenario_model m;
    m.line_name = "Linea";
    m.train_number = "99";
    memorizza_dati(m, files);
    EXPECT_EQ(m.result_code, result::line_file_missing);
    const std::vector<std::string> calls{"read line", "read train", "discard train"};
    EXPECT_EQ(files.calls, calls);
}

}  // namespace
}  // namespace compattatore
