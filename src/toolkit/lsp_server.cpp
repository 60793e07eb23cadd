#include "toolkit/lsp_server.hpp"

#include <exception>

#include "toolkit/lsp_records.hpp"

namespace compattatore::lsp {

using nlohmann::json;

namespace {

struct request_error {
    int code;
    std::string message;
};

std::size_t index_param(const json& position, const char* name) {
    const std::int64_t v = position.at(name).get<std::int64_t>();
    if (v < 0) throw request_error{error_code::invalid_params, std::string(name) + " is negative"};
    return static_cast<std::size_t>(v);
}

bool offers_utf8(const json& params) {
    const json* general = nullptr;
    if (params.contains("capabilities") && params["capabilities"].is_object() &&
        params["capabilities"].contains("general")) {
        general = &params["capabilities"]["general"];
    }
    if (general == nullptr || !general->is_object() || !general->contains("positionEncodings")) {
        return false;
    }
    const json& offered = (*general)["positionEncodings"];
    return offered.is_array() && std::ranges::find(offered, json("utf-8")) != offered.end();
}

}  // namespace

void language_server::log(const std::string& line) {
    log_ << "compattatore lsp: " << line << "\n";
    log_.flush();
}

void language_server::handle(const std::string& body) {
    json message;
    try {
        message = json::parse(body);
    } catch (const json::parse_error& e) {
        log(std::string("a message that is not JSON: ") + e.what());
        write_message(out_, error_response(nullptr, error_code::parse_error, "not JSON"));
        return;
    }
    dispatch(message);
}

void language_server::dispatch(const json& m) {
    const bool has_id = m.is_object() && m.contains("id");
    const json id = has_id ? m["id"] : json(nullptr);
    const bool valid_id = id.is_number_integer() || id.is_string() || id.is_null();
    if (!m.is_object() || !valid_id || !m.contains("method") || !m["method"].is_string()) {
        // A reply to a request of ours needs no answer.
        if (has_id && (m.contains("result") || m.contains("error"))) return;
        write_message(out_, error_response(valid_id ? id : json(nullptr),
                                           error_code::invalid_request, "not a JSON-RPC request"));
        return;
    }
    const std::string method = m["method"].get<std::string>();
    const json params = m.contains("params") ? m["params"] : json::object();
    try {
        if (!has_id) return notify(method, params);
        if (shut_down_)
            throw request_error{error_code::invalid_request, "the server was shut down"};
        if (!initialized_ && method != "initialize") {
            throw request_error{error_code::server_not_initialized, "initialize comes first"};
        }
        write_message(out_, response(id, request(method, params)));
    } catch (const request_error& e) {
        if (!has_id) return log(method + ": " + e.message);
        write_message(out_, error_response(id, e.code, e.message));
    } catch (const json::exception& e) {
        if (!has_id) return log(method + ": bad parameters: " + e.what());
        write_message(out_, error_response(id, error_code::invalid_params, e.what()));
    } catch (const std::exception& e) {
        log(method + ": " + e.what());
        if (has_id) write_message(out_, error_response(id, error_code::internal_error, e.what()));
    }
}

json language_server::request(const std::string& method, const json& params) {
    if (method == "initialize") return initialize(params);
    if (method == "shutdown") {
        shut_down_ = true;
        return nullptr;
    }
    if (method == "textDocument/hover" || method == "textDocument/completion") {
        const open_document& d = document(params);
        const json& p = params.at("position");
        const std::size_t line = index_param(p, "line"), character = index_param(p, "character");
        return method == "textDocument/hover" ? hover_at(d, line, character, encoding_)
                                              : completion_at(d, line, character, encoding_);
    }
    if (method == "textDocument/documentSymbol")
        return document_symbols(document(params), encoding_);
    throw request_error{error_code::method_not_found, "no method " + method};
}

json language_server::initialize(const json& params) {
    if (initialized_) throw request_error{error_code::invalid_request, "initialized already"};
    initialized_ = true;
    if (params.is_object() && offers_utf8(params)) encoding_ = position_encoding::utf8;
    const json capabilities = {
        {"positionEncoding", encoding_ == position_encoding::utf8 ? "utf-8" : "utf-16"},
        {"textDocumentSync", {{"openClose", true}, {"change", 1}}},
        {"hoverProvider", true},
        {"completionProvider", {{"triggerCharacters", json::array()}}},
        {"documentSymbolProvider", true},
    };
    return {{"capabilities", capabilities},
            {"serverInfo", {{"name", "compattatore"}, {"version", "0.1"}}}};
}

void language_server::notify(const std::string& method, const json& params) {
    if (method == "exit") {
        exited_ = true;
        return;
    }
    if (!initialized_ || shut_down_) return;  // dropped, as the protocol asks
    if (method == "textDocument/didOpen") return did_open(params);
    if (method == "textDocument/didChange") return did_change(params);
    if (method == "textDocument/didClose") return did_close(params);
    // Everything else (initialized, didSave, $/cancelRequest, ...) needs nothing from us.
}

bool language_server::too_large(const std::string& uri, const std::string& text) {
    if (text.size() <= limits_.document) return false;
    documents_.close(uri);
    const std::string what = uri + " has " + std::to_string(text.size()) +
                             " bytes, over the limit of " + std::to_string(limits_.document) +
                             ": it is not checked";
    log(what);
    write_message(out_, notification("window/showMessage", {{"type", 1}, {"message", what}}));
    return true;
}

void language_server::did_open(const json& params) {
    const json& td = params.at("textDocument");
    const std::string uri = td.at("uri").get<std::string>();
    std::string text = td.at("text").get<std::string>();
    if (too_large(uri, text)) return;
    documents_.open(uri, std::move(text), td.value("version", std::int64_t{0}));
    publish(uri);
}

void language_server::did_change(const json& params) {
    const json& td = params.at("textDocument");
    const std::string uri = td.at("uri").get<std::string>();
    open_document* d = documents_.find(uri);
    if (d == nullptr) throw request_error{0, "a change to " + uri + ", which is not open"};
    const json& changes = params.at("contentChanges");
    if (!changes.is_array() || changes.empty()) return;
    // Full-text sync: the last change holds the whole text.
    const json& last = changes.back();
    if (last.contains("range")) throw request_error{0, "a change by range; only whole texts"};
    std::string text = last.at("text").get<std::string>();
    if (too_large(uri, text)) return;
    d->text = std::move(text);
    d->version = td.value("version", d->version);
    publish(uri);
}

void language_server::did_close(const json& params) {
    const std::string uri = params.at("textDocument").at("uri").get<std::string>();
    const open_document* d = documents_.find(uri);
    if (d == nullptr) return;
    const std::optional<std::filesystem::path> folder =
        d->path ? std::optional(d->path->parent_path()) : std::nullopt;
    const description_kind kind = d->kind;
    documents_.close(uri);
    write_message(out_, notification("textDocument/publishDiagnostics",
                                     {{"uri", uri}, {"diagnostics", json::array()}}));
    // Its partners now read the file on disk instead of the editor's text.
    std::vector<std::string> partners;
    for (const auto& [u, o] : documents_.all()) {
        if (o.kind != kind && folder && o.path && o.path->parent_path() == *folder) {
            partners.push_back(u);
        }
    }
    for (const std::string& u : partners) publish(u);
}

void language_server::publish(const std::string& uri) {
    for (auto& [u, diagnostics] : documents_.check_around(uri, encoding_)) {
        json params = {{"uri", u}, {"diagnostics", std::move(diagnostics)}};
        if (const open_document* d = documents_.find(u)) params["version"] = d->version;
        write_message(out_, notification("textDocument/publishDiagnostics", std::move(params)));
    }
}

open_document& language_server::document(const json& params) {
    const std::string uri = params.at("textDocument").at("uri").get<std::string>();
    open_document* d = documents_.find(uri);
    if (d == nullptr) throw request_error{error_code::invalid_params, uri + " is not open"};
    return *d;
}

int serve(std::istream& in, std::ostream& out, std::ostream& log, server_limits limits) {
    message_reader reader(in, limits.messages);
    language_server server(out, log, limits);
    while (!server.exited()) {
        read_result r = reader.next();
        if (r.status == read_status::end) break;
        if (!r.problem.empty()) server.log(r.problem);
        if (r.status != read_status::message) continue;
        try {
            server.handle(r.body);
        } catch (const std::exception& e) {
            server.log(std::string("a message could not be handled: ") + e.what());
        }
    }
    return server.exit_status();
}

}  // namespace compattatore::lsp
