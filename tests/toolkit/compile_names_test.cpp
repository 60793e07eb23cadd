// --line and --train are names: typed in UTF-8, carried in code page 850, and refused when they
// cannot name the compile's files on every system the files go to.

#include "toolkit/compile_names.hpp"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace compattatore {
namespace {

struct name_case {
    const char* label;
    std::string line;
    std::string train;
    bool profile;
    std::string problem;  // empty: accepted
};

const name_case name_cases[] = {
    {"empty line", "", "1", true, "--line \"\" cannot name the files: it is empty"},
    {"empty train", "L", "", true, "--train \"\" cannot name the files: it is empty"},
    {"slash", "a/b", "1", true,
     "--line \"a/b\" cannot name the files: it holds a path separator ('/' or '\\')"},
    {"backslash", "L", "1\\2", true,
     "--train \"1\\2\" cannot name the files: it holds a path separator ('/' or '\\')"},
    {"dot", ".", "1", true, "--line \".\" cannot name the files: it is \".\" or \"..\""},
    {"dot dot", "L", "..", true, "--train \"..\" cannot name the files: it is \".\" or \"..\""},
    {"tab", "a\tb", "1", true,
     "--line \"a\\x09b\" cannot name the files: it holds a control character"},
    {"line end", "L", "1\n2", true,
     "--train \"1\\x0a2\" cannot name the files: it holds a control character"},
    {"delete", "a\x7f", "1", true,
     "--line \"a\\x7f\" cannot name the files: it holds a control character"},
    {"star", "a*", "1", true,
     "--line \"a*\" cannot name the files: it holds a character Windows refuses in file names "
     "(< > : \" | ? *)"},
    {"colon", "L", "1:2", true,
     "--train \"1:2\" cannot name the files: it holds a character Windows refuses in file names "
     "(< > : \" | ? *)"},
    {"euro sign", "a\xe2\x82\xac", "1", true,
     "--line \"a\xe2\x82\xac\" cannot name the files: it holds a character code page 850 lacks"},
    {"not UTF-8", "Citt\x85", "1", true,
     "--line \"Citt\x85\" cannot name the files: it is not UTF-8"},
    {"profile name 256 bytes", std::string(246, 'a'), "1", true,
     "--line and --train cannot name the files: the file name \"" + std::string(60, 'a') +
         "...\" (256 bytes) is longer than 255 bytes"},
    {"grid name 256 bytes", std::string(200, 'a'), std::string(51, '1'), false,
     "--line and --train cannot name the files: the file name \"" + std::string(60, 'a') +
         "...\" (256 bytes) is longer than 255 bytes"},
    {"route grid named as the profile", "L", "linea", true,
     "--line and --train cannot name the files: two outputs would both be named "
     "\"L_linea.dat\""},
    {"the same where case is ignored", "L", "LINEA", true,
     "--line and --train cannot name the files: the outputs \"L_linea.dat\" and \"L_LINEA.dat\" "
     "would be one file where case is ignored (Windows)"},
    // Accepted.
    {"no profile, no clash", "L", "linea", false, ""},
    {"profile name of 255 bytes", std::string(245, 'a'), "1", true, ""},
    {"blanks and signs", "Linea 2 (bis)", "2063-A", true, ""},
};

void PrintTo(const name_case& k, std::ostream* os) {
    *os << k.label;
}

class Names : public ::testing::TestWithParam<name_case> {};

TEST_P(Names, AreRefusedWithOneLineOrAccepted) {
    const name_case& k = GetParam();
    const author_identity id = read_identity(k.line, k.train, k.profile);
    EXPECT_EQ(id.problem, k.problem);
    if (k.problem.empty()) {
        EXPECT_EQ(id.line_name, k.line);
        EXPECT_EQ(id.train_number, k.train);
    } else {
        EXPECT_EQ(id.line_name, "");
        EXPECT_EQ(id.train_number, "");
    }
}

INSTANTIATE_TEST_SUITE_P(Identity, Names, ::testing::ValuesIn(name_cases), [](const auto& info) {
    std::string n = info.param.label;
    for (char& c : n) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return n;
});

TEST(Names, TypedInUtf8AreCarriedInCodePage850) {
    struct {
        const char* typed;
        const char* carried;
    } cases[] = {
        {"Citt\xc3\xa0", "Citt\x85"},  // à
        {"Perugia-Sant'Egidio", "Perugia-Sant'Egidio"},
        {"\xc3\x89pinal", "\x90pinal"},            // É
        {"Caf\xc3\xa9 \xc3\xb2", "Caf\x82 \x95"},  // é ò
    };
    for (const auto& k : cases) {
        const author_identity id = read_identity(k.typed, k.typed, true);
        EXPECT_EQ(id.problem, "") << k.typed;
        EXPECT_EQ(id.line_name, k.carried) << k.typed;
        EXPECT_EQ(id.train_number, k.carried) << k.typed;
    }
}

}  // namespace
}  // namespace compattatore
