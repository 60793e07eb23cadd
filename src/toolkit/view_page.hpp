#pragma once
// The route viewer's page: one self-contained HTML file holding its data, script and style, that
// asks for nothing over the network.

#include <nlohmann/json.hpp>
#include <string>

namespace compattatore {

// data as view_data makes it.
std::string view_page(const nlohmann::json& data);

}  // namespace compattatore
