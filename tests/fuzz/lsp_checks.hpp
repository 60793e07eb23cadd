#pragma once
// One language-server session on untrusted bytes and what any outcome must keep: the status is
// the protocol's, and everything written back is whole framed JSON-RPC. Shared by the fuzz
// harness, its seeds and the test that replays the inputs it ever broke.

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/description_fixture.hpp"
#include "toolkit/lsp_protocol.hpp"
#include "toolkit/lsp_server.hpp"

namespace compattatore::fuzzing {

inline lsp::server_limits fuzz_lsp_limits() {
    lsp::server_limits l;
    l.messages.body = 1 << 16;
    l.document = 1 << 16;
    return l;
}

// Empty when every invariant held, else what broke.
inline std::string check_lsp_session(std::string_view input) {
    std::istringstream in{std::string(input)};
    std::ostringstream out, log;
    const int status = lsp::serve(in, out, log, fuzz_lsp_limits());
    if (status != 0 && status != 1) return "exit status " + std::to_string(status);
    const std::string written = out.str();
    std::istringstream replies(written);
    lsp::message_reader reader(replies, {4096, std::size_t{1} << 30});
    for (lsp::read_result r = reader.next(); r.status != lsp::read_status::end; r = reader.next()) {
        if (r.status != lsp::read_status::message || !r.problem.empty()) {
            return "a reply that is not framed: " + r.problem;
        }
        const nlohmann::json m = nlohmann::json::parse(r.body, nullptr, false);
        if (m.is_discarded() || !m.is_object() || m.value("jsonrpc", "") != "2.0") {
            return "a reply that is not JSON-RPC: " + r.body.substr(0, 200);
        }
        if (m.contains("id") && m.contains("result") == m.contains("error")) {
            return "a response with both or neither of result and error";
        }
    }
    if (replies.peek() != std::char_traits<char>::eof()) return "bytes after the last reply";
    return "";
}

inline std::string lsp_frame(const nlohmann::json& m) {
    const std::string body = m.dump();
    return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

// Whole sessions on the fixture's texts, for the seed corpus.
inline std::vector<std::pair<std::string, std::string>> lsp_seed_sessions() {
    using nlohmann::json;
    const testing::description_pair d;
    const std::string train = "file:///nonexistent/Linea_99-.txt";
    const std::string line = "file:///nonexistent/Linea_linea.txt";
    const auto req = [](int id, const std::string& method, json params) {
        return lsp_frame({{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", params}});
    };
    const auto note = [](const std::string& method, json params) {
        return lsp_frame({{"jsonrpc", "2.0"}, {"method", method}, {"params", params}});
    };
    const auto open = [&](const std::string& uri, const std::string& text) {
        return note("textDocument/didOpen",
                    {{"textDocument", {{"uri", uri}, {"version", 1}, {"text", text}}}});
    };
    const auto at = [&](int id, const std::string& method, const std::string& uri, int l, int c) {
        return req(
            id, method,
            {{"textDocument", {{"uri", uri}}}, {"position", {{"line", l}, {"character", c}}}});
    };
    const std::string start =
        req(0, "initialize",
            {{"capabilities", {{"general", {{"positionEncodings", {"utf-8"}}}}}}}) +
        note("initialized", json::object());
    const std::string end = req(9, "shutdown", nullptr) + note("exit", nullptr);
    return {
        {"train-hover", start + open(train, d.train_text()) +
                            at(1, "textDocument/hover", train, 9, 24) +
                            at(2, "textDocument/completion", train, 9, 2) + end},
        {"pair-change",
         start + open(line, d.line_text()) + open(train, d.train_text()) +
             note("textDocument/didChange",
                  {{"textDocument", {{"uri", line}, {"version", 2}}},
                   {"contentChanges", json::array({{{"text", "[generale]\r\n"}}})}}) +
             req(3, "textDocument/documentSymbol", {{"textDocument", {{"uri", line}}}}) + end},
    };
}

}  // namespace compattatore::fuzzing
