#include "toolkit/json_text.hpp"

namespace compattatore {

using json = nlohmann::ordered_json;

bool is_utf8(std::string_view bytes) {
    // The library's own check, the one that would otherwise stop the output.
    try {
        (void)json(std::string(bytes)).dump();
        return true;
    } catch (const json::type_error&) {
        return false;
    }
}

std::string hex_digits(std::string_view bytes) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(2 * bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        hex += digits[b >> 4];
        hex += digits[b & 0xF];
    }
    return hex;
}

void put_bytes(json& j, const std::string& key, std::string_view bytes) {
    j[key] = std::string(bytes);
    if (!is_utf8(bytes)) j[key + "_bytes"] = hex_digits(bytes);
}

std::string json_document(const json& j) {
    return j.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace compattatore
