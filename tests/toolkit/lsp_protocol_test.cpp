// The language server's wire and its answers to bad clients: framing that survives malformed
// headers, JSON-RPC errors with the right codes, and the exit status the protocol gives.

#include "toolkit/lsp_protocol.hpp"

#include <gtest/gtest.h>

#include <sstream>

#include "toolkit/lsp_client.hpp"

namespace compattatore {
namespace {

using testing::framed;
using testing::json;
using testing::lsp_session;

struct framing_case {
    const char* name;
    std::string input;
    // Each read until the end: "message:<body>", "malformed" or "too_large".
    std::vector<std::string> reads;
};

const std::string ok_body = R"({"a":1})";

const framing_case framing_cases[] = {
    {"plain", framed(json{{"a", 1}}), {"message:" + ok_body}},
    {"header_name_any_case_and_other_headers",
     "content-length: 7\r\nContent-Type: application/vscode-jsonrpc; charset=utf-8\r\n\r\n" +
         ok_body,
     {"message:" + ok_body}},
    {"lone_lf_line_ends", "Content-Length: 7\n\n" + ok_body, {"message:" + ok_body}},
    {"blank_lines_between_messages", "\r\n\r\n" + framed(json{{"a", 1}}), {"message:" + ok_body}},
    {"no_length_then_a_good_message",
     "Content-Type: x\r\n\r\n" + framed(json{{"a", 1}}),
     {"malformed", "message:" + ok_body}},
    {"length_not_a_number",
     "Content-Length: 7x\r\n\r\n" + framed(json{{"a", 1}}),
     {"malformed", "message:" + ok_body}},
    {"negative_length",
     "Content-Length: -7\r\n\r\n" + framed(json{{"a", 1}}),
     {"malformed", "message:" + ok_body}},
    {"length_too_big_to_count", "Content-Length: 99999999999999999999999\r\n\r\n", {"malformed"}},
    {"garbage_glued_to_the_next_header",
     "{garbage}" + framed(json{{"a", 1}}),
     {"message:" + ok_body}},
    {"overlong_header_line",
     std::string(10000, 'x') + "\r\n\r\n" + framed(json{{"a", 1}}),
     {"malformed", "message:" + ok_body}},
    {"body_over_the_limit_skipped",
     "Content-Length: 2000\r\n\r\n" + std::string(2000, '{') + framed(json{{"a", 1}}),
     {"too_large", "message:" + ok_body}},
    {"body_cut_short", "Content-Length: 70\r\n\r\n" + ok_body, {}},
    {"headers_cut_short", "Content-Length: 7\r\n", {}},
};

class framing : public ::testing::TestWithParam<framing_case> {};

TEST_P(framing, reads_each_message_and_recovers_after_a_bad_one) {
    std::istringstream in(GetParam().input);
    lsp::message_reader reader(in, {256, 1000});
    std::vector<std::string> reads;
    for (lsp::read_result r = reader.next(); r.status != lsp::read_status::end; r = reader.next()) {
        if (r.status == lsp::read_status::message) reads.push_back("message:" + r.body);
        if (r.status == lsp::read_status::malformed) reads.push_back("malformed");
        if (r.status == lsp::read_status::too_large) reads.push_back("too_large");
        ASSERT_LT(reads.size(), 10u) << "the reader does not move on";
    }
    EXPECT_EQ(reads, GetParam().reads);
}

INSTANTIATE_TEST_SUITE_P(lsp, framing, ::testing::ValuesIn(framing_cases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(lsp_framing, writes_the_length_of_the_utf8_body) {
    std::ostringstream out;
    lsp::write_message(out, json{{"text", "\xC3\x88"}});  // one character, two bytes
    EXPECT_EQ(out.str(), "Content-Length: 13\r\n\r\n{\"text\":\"\xC3\x88\"}");
}

struct error_case {
    const char* name;
    std::function<void(lsp_session&)> send;  // after initialize, request id 1
    int code;
};

const error_case error_cases[] = {
    {"not_json", [](lsp_session& s) { s.raw("Content-Length: 5\r\n\r\n{oops"); },
     lsp::error_code::parse_error},
    {"not_an_object",
     [](lsp_session& s) {
         s.raw(framed(json::array({1, 2})));
     },
     lsp::error_code::invalid_request},
    {"method_not_a_string",
     [](lsp_session& s) {
         s.raw(framed({{"jsonrpc", "2.0"}, {"id", 1}, {"method", 5}}));
     },
     lsp::error_code::invalid_request},
    {"unknown_method", [](lsp_session& s) { s.request(1, "textDocument/teleport"); },
     lsp::error_code::method_not_found},
    {"hover_on_a_document_never_opened",
     [](lsp_session& s) { s.at(1, "textDocument/hover", "file:///nowhere/A_linea.txt", 0, 0); },
     lsp::error_code::invalid_params},
    {"symbols_of_a_closed_document",
     [](lsp_session& s) {
         s.open("file:///x/A_linea.txt", "[generale]\r\n");
         s.notify("textDocument/didClose", {{"textDocument", {{"uri", "file:///x/A_linea.txt"}}}});
         s.request(1, "textDocument/documentSymbol",
                   {{"textDocument", {{"uri", "file:///x/A_linea.txt"}}}});
     },
     lsp::error_code::invalid_params},
    {"position_of_the_wrong_type",
     [](lsp_session& s) {
         s.open("file:///x/A_linea.txt", "[generale]\r\n");
         s.request(1, "textDocument/hover",
                   {{"textDocument", {{"uri", "file:///x/A_linea.txt"}}},
                    {"position", {{"line", "one"}, {"character", 0}}}});
     },
     lsp::error_code::invalid_params},
    {"negative_position",
     [](lsp_session& s) {
         s.open("file:///x/A_linea.txt", "[generale]\r\n");
         s.at(1, "textDocument/hover", "file:///x/A_linea.txt", -1, 0);
     },
     lsp::error_code::invalid_params},
    {"initialize_twice", [](lsp_session& s) { s.request(1, "initialize"); },
     lsp::error_code::invalid_request},
    {"request_after_shutdown",
     [](lsp_session& s) {
         s.request(2, "shutdown");
         s.request(1, "textDocument/documentSymbol");
     },
     lsp::error_code::invalid_request},
};

class rpc_errors : public ::testing::TestWithParam<error_case> {};

TEST_P(rpc_errors, are_answered_and_the_session_goes_on) {
    lsp_session s;
    s.initialize();
    GetParam().send(s);
    s.request(7, "shutdown").notify("exit");
    const auto r = s.run();
    json reply = nullptr;
    for (const json& m : r.messages) {
        if (m.contains("error")) {
            reply = m;
            break;
        }
    }
    ASSERT_TRUE(reply.is_object()) << "no error reply";
    EXPECT_EQ(reply["error"]["code"], GetParam().code) << reply.dump();
    // A message without a readable id is answered with a null one.
    EXPECT_TRUE(reply["id"] == 1 || reply["id"].is_null()) << reply.dump();
    if (std::string(GetParam().name) != "request_after_shutdown") {
        EXPECT_EQ(r.reply(7)["result"], nullptr);
        EXPECT_EQ(r.status, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(lsp, rpc_errors, ::testing::ValuesIn(error_cases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(lsp_session, requests_before_initialize_are_refused_and_notifications_dropped) {
    lsp_session s;
    s.open("file:///x/A_linea.txt", "[generale]\r\n").request(1, "textDocument/documentSymbol");
    const auto r = s.initialize().end().run();
    EXPECT_EQ(r.reply(1)["error"]["code"], lsp::error_code::server_not_initialized);
    EXPECT_TRUE(r.diagnostics("file:///x/A_linea.txt").is_null());
}

struct exit_case {
    const char* name;
    std::function<void(lsp_session&)> finish;
    int status;
};

const exit_case exit_cases[] = {
    {"shutdown_then_exit", [](lsp_session& s) { s.end(); }, 0},
    {"exit_without_shutdown", [](lsp_session& s) { s.notify("exit"); }, 1},
    {"input_ends", [](lsp_session&) {}, 1},
    {"input_ends_after_shutdown", [](lsp_session& s) { s.request(5, "shutdown"); }, 1},
    {"input_ends_inside_a_body", [](lsp_session& s) { s.raw("Content-Length: 100\r\n\r\n{"); }, 1},
};

class exit_status : public ::testing::TestWithParam<exit_case> {};

TEST_P(exit_status, is_the_protocols) {
    lsp_session s;
    s.initialize();
    GetParam().finish(s);
    s.request(6, "textDocument/documentSymbol");  // after exit: never read
    const auto r = s.run();
    EXPECT_EQ(r.status, GetParam().status);
    if (GetParam().status == 0) {
        EXPECT_TRUE(r.reply(6).is_null());
    }
}

INSTANTIATE_TEST_SUITE_P(lsp, exit_status, ::testing::ValuesIn(exit_cases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(lsp_session, negotiates_utf8_positions_only_when_offered) {
    const json offered = {{"general", {{"positionEncodings", {"utf-8", "utf-16"}}}}};
    lsp_session with, without;
    const auto a = with.initialize(offered).end().run();
    const auto b = without.initialize().end().run();
    EXPECT_EQ(a.reply(0)["result"]["capabilities"]["positionEncoding"], "utf-8");
    EXPECT_EQ(b.reply(0)["result"]["capabilities"]["positionEncoding"], "utf-16");
    EXPECT_EQ(b.reply(0)["result"]["capabilities"]["textDocumentSync"]["change"], 1);
}

}  // namespace
}  // namespace compattatore
