#pragma once
// A small editor for the language server's tests: frames JSON-RPC messages, runs one session
// over string streams and splits the server's replies.

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "toolkit/lsp_protocol.hpp"
#include "toolkit/lsp_server.hpp"

namespace compattatore::testing {

using nlohmann::json;

inline std::string framed(const json& message) {
    const std::string body = message.dump();
    return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

struct lsp_session {
    std::string input;
    lsp::server_limits limits;

    lsp_session& raw(const std::string& bytes) {
        input += bytes;
        return *this;
    }
    lsp_session& request(int id, const std::string& method, json params = json::object()) {
        return raw(
            framed({{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", params}}));
    }
    lsp_session& notify(const std::string& method, json params = json::object()) {
        return raw(framed({{"jsonrpc", "2.0"}, {"method", method}, {"params", params}}));
    }
    lsp_session& initialize(json capabilities = json::object()) {
        request(0, "initialize", {{"capabilities", capabilities}});
        return notify("initialized");
    }
    lsp_session& open(const std::string& uri, const std::string& text, int version = 1) {
        return notify(
            "textDocument/didOpen",
            {{"textDocument",
              {{"uri", uri}, {"languageId", "text"}, {"version", version}, {"text", text}}}});
    }
    lsp_session& change(const std::string& uri, const std::string& text, int version) {
        return notify("textDocument/didChange",
                      {{"textDocument", {{"uri", uri}, {"version", version}}},
                       {"contentChanges", json::array({{{"text", text}}})}});
    }
    lsp_session& at(int id, const std::string& method, const std::string& uri, int line,
                    int character) {
        return request(id, method,
                       {{"textDocument", {{"uri", uri}}},
                        {"position", {{"line", line}, {"character", character}}}});
    }
    lsp_session& end() {
        request(999, "shutdown");
        return notify("exit");
    }

    struct result {
        int status = -1;
        std::vector<json> messages;
        std::string log;

        // The reply to request id; null json when there is none.
        json reply(int id) const {
            for (const json& m : messages) {
                if (m.contains("id") && m["id"] == id) return m;
            }
            return nullptr;
        }
        // The last diagnostics published for uri; null json when none were.
        json diagnostics(const std::string& uri) const {
            json last = nullptr;
            for (const json& m : messages) {
                if (m.value("method", "") == "textDocument/publishDiagnostics" &&
                    m["params"]["uri"] == uri) {
                    last = m["params"]["diagnostics"];
                }
            }
            return last;
        }
    };

    result run() const {
        std::istringstream in(input);
        std::ostringstream out, log;
        result r;
        r.status = lsp::serve(in, out, log, limits);
        r.log = log.str();
        std::istringstream replies(out.str());
        lsp::message_reader reader(replies);
        for (lsp::read_result m = reader.next(); m.status == lsp::read_status::message;
             m = reader.next()) {
            r.messages.push_back(json::parse(m.body));
        }
        return r;
    }
};

}  // namespace compattatore::testing
