#pragma once
// The language server: reads framed JSON-RPC messages, answers requests and publishes the
// descriptions' problems as they change. A bad message is answered with an error or logged,
// never fatal; the run ends at `exit` or at the end of the input.

#include <cstddef>
#include <istream>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

#include "toolkit/lsp_documents.hpp"
#include "toolkit/lsp_protocol.hpp"
#include "toolkit/lsp_text.hpp"

namespace compattatore::lsp {

struct server_limits {
    read_limits messages;
    std::size_t document = 16u << 20;  // bytes of one open document's text
};

class language_server {
  public:
    language_server(std::ostream& out, std::ostream& log, server_limits limits = {})
        : out_(out), log_(log), limits_(limits) {}
    // One message's body.
    void handle(const std::string& body);
    void log(const std::string& line);
    bool exited() const { return exited_; }
    // The protocol's status: 0 when exit followed shutdown, 1 otherwise.
    int exit_status() const { return exited_ && shut_down_ ? 0 : 1; }

  private:
    void dispatch(const nlohmann::json& message);
    nlohmann::json request(const std::string& method, const nlohmann::json& params);
    void notify(const std::string& method, const nlohmann::json& params);
    nlohmann::json initialize(const nlohmann::json& params);
    void did_open(const nlohmann::json& params);
    void did_change(const nlohmann::json& params);
    void did_close(const nlohmann::json& params);
    void publish(const std::string& uri);
    open_document& document(const nlohmann::json& params);
    bool too_large(const std::string& uri, const std::string& text);

    std::ostream& out_;
    std::ostream& log_;
    server_limits limits_;
    document_store documents_;
    position_encoding encoding_ = position_encoding::utf16;
    bool initialized_ = false;
    bool shut_down_ = false;
    bool exited_ = false;
};

// Serves one editor until exit or the end of the input; returns the exit status.
int serve(std::istream& in, std::ostream& out, std::ostream& log, server_limits limits = {});

}  // namespace compattatore::lsp
