#pragma once
// What the server knows of the description records: the hover text of a field, the records
// offered where the cursor is, and the outline of a text.

#include <cstddef>
#include <nlohmann/json.hpp>

#include "toolkit/lsp_documents.hpp"
#include "toolkit/lsp_text.hpp"

namespace compattatore::lsp {

// line and character as the editor counts them. Null when nothing is under the cursor.
nlohmann::json hover_at(const open_document& d, std::size_t line, std::size_t character,
                        position_encoding e);
nlohmann::json completion_at(const open_document& d, std::size_t line, std::size_t character,
                             position_encoding e);
nlohmann::json document_symbols(const open_document& d, position_encoding e);

}  // namespace compattatore::lsp
