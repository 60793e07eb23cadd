#pragma once
// The language server's wire: messages framed by a Content-Length header, as editors send them
// over standard input and output. The reader takes untrusted bytes: it never reads more than a
// header line or a body's announced size, and after a malformed header it finds the next message
// instead of giving up.

#include <cstddef>
#include <istream>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

namespace compattatore::lsp {

// JSON-RPC and protocol error codes the server answers with.
namespace error_code {
inline constexpr int parse_error = -32700;
inline constexpr int invalid_request = -32600;
inline constexpr int method_not_found = -32601;
inline constexpr int invalid_params = -32602;
inline constexpr int internal_error = -32603;
inline constexpr int server_not_initialized = -32002;
inline constexpr int request_failed = -32803;
}  // namespace error_code

struct read_limits {
    std::size_t header_line = 4096;  // bytes of one header line
    std::size_t body = 64u << 20;    // bytes of one message body
};

enum class read_status {
    message,    // body holds one message's bytes
    malformed,  // a header block without a usable Content-Length; skipped
    too_large,  // a body over the limit; its bytes were skipped
    end,        // the input ended (a body cut short ends it too)
};

struct read_result {
    read_status status = read_status::end;
    std::string body;
    std::string problem;  // what was wrong, for the log, when status is malformed or too_large
};

class message_reader {
  public:
    explicit message_reader(std::istream& in, read_limits limits = {}) : in_(in), limits_(limits) {}
    read_result next();

  private:
    bool read_header_line(std::string& line, bool& overlong);
    std::istream& in_;
    read_limits limits_;
};

// One message, framed, flushed at once so the editor sees it without waiting for more.
void write_message(std::ostream& out, const nlohmann::json& message);

nlohmann::json response(const nlohmann::json& id, nlohmann::json result);
nlohmann::json error_response(const nlohmann::json& id, int code, const std::string& message);
nlohmann::json notification(const std::string& method, nlohmann::json params);

}  // namespace compattatore::lsp
