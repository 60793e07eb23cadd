#pragma once
// The descriptions the editor has open, which is which, and the problems of each. A line
// description is paired with the train description beside it (open in the editor, or read from
// disk) so that problems needing both texts are found; the names tell first, the content second.

#include <filesystem>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "compiler/compile_report.hpp"
#include "ground/model.hpp"
#include "toolkit/lsp_text.hpp"

namespace compattatore::lsp {

struct open_document {
    std::string uri;
    std::optional<std::filesystem::path> path;
    std::string text;  // UTF-8, as the editor has it
    std::int64_t version = 0;
    description_kind kind = description_kind::line;
    // The station table of the last check, for railway kilometres; null before the first.
    std::shared_ptr<const station_table_t> stations;
};

// Which description a text is: by its name, else by the records it holds.
description_kind guess_kind(const std::optional<std::filesystem::path>& path,
                            std::string_view text);

class document_store {
  public:
    open_document& open(std::string uri, std::string text, std::int64_t version);
    open_document* find(const std::string& uri);
    void close(const std::string& uri) { documents_.erase(uri); }
    const std::map<std::string, open_document>& all() const { return documents_; }

    // The diagnostics to publish after a document changed: every open document its check
    // touched, each with all of its problems (an empty list clears old ones).
    std::map<std::string, nlohmann::json> check_around(const std::string& uri, position_encoding e);

  private:
    std::map<std::string, open_document> documents_;
};

}  // namespace compattatore::lsp
