#include "toolkit/lsp_documents.hpp"

#include <algorithm>
#include <system_error>

#include "ground/code_page_850.hpp"
#include "ground/files.hpp"
#include "ground/keyword_match.hpp"
#include "ground/kilometres.hpp"
#include "toolkit/check_author.hpp"
#include "toolkit/compile_diagnostics.hpp"

namespace compattatore::lsp {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view line_suffix = "_linea.txt";
constexpr std::string_view train_suffix = "-.txt";

std::string file_name(const fs::path& p) {
    return p.filename().string();
}

// "<line>_linea.txt" -> line; "<line>_<train>-.txt" -> line and train. Empty when the name is
// not of that form.
std::string line_name_of(const fs::path& p, description_kind k) {
    const std::string n = file_name(p);
    if (k == description_kind::line) {
        return folded(n).ends_with(line_suffix) ? n.substr(0, n.size() - line_suffix.size()) : "";
    }
    if (!n.ends_with(train_suffix)) return "";
    const std::size_t cut = n.rfind('_');
    return cut == std::string::npos ? "" : n.substr(0, cut);
}

std::string train_number_of(const fs::path& p) {
    const std::string n = file_name(p);
    const std::size_t cut = n.rfind('_');
    if (!n.ends_with(train_suffix) || cut == std::string::npos) return "";
    return n.substr(cut + 1, n.size() - train_suffix.size() - cut - 1);
}

}  // namespace

description_kind guess_kind(const std::optional<fs::path>& path, std::string_view text) {
    if (path) {
        const std::string n = folded(file_name(*path));
        if (n.ends_with(line_suffix)) return description_kind::line;
        if (n.ends_with(train_suffix)) return description_kind::train;
    }
    // Records only one of the two descriptions has.
    const std::string t = folded(text.substr(0, std::min<std::size_t>(text.size(), 1 << 16)));
    for (const char* k : {"[stazioni]", "[segnali]", "stazione", "numero vetture", "segnale"}) {
        if (t.find(k) != std::string::npos) return description_kind::train;
    }
    return description_kind::line;
}

open_document& document_store::open(std::string uri, std::string text, std::int64_t version) {
    open_document d;
    d.path = uri_path(uri);
    d.kind = guess_kind(d.path, text);
    d.uri = uri;
    d.text = std::move(text);
    d.version = version;
    return documents_[std::move(uri)] = std::move(d);
}

open_document* document_store::find(const std::string& uri) {
    const auto it = documents_.find(uri);
    return it == documents_.end() ? nullptr : &it->second;
}

namespace {

// One of the two descriptions of a check: open in the editor, or a file beside it.
struct side {
    open_document* doc = nullptr;
    std::optional<fs::path> path;
};

struct description_pair {
    side line;
    side train;
    side& of(description_kind k) { return k == description_kind::line ? line : train; }
};

bool same_folder(const open_document& a, const open_document& b) {
    return a.path && b.path && a.path->parent_path() == b.path->parent_path();
}

// An open partner: one whose name fits first, else any of the other kind in the same folder.
open_document* open_partner(std::map<std::string, open_document>& docs, const open_document& d,
                            const std::string& line) {
    const description_kind want =
        d.kind == description_kind::line ? description_kind::train : description_kind::line;
    open_document* any = nullptr;
    for (auto& [uri, o] : docs) {
        if (o.kind != want || !same_folder(o, d)) continue;
        if (!line.empty() && line_name_of(*o.path, want) == line) return &o;
        if (any == nullptr) any = &o;
    }
    return any;
}

// A partner on disk: the file named for the line, trains sorted by name.
std::optional<fs::path> disk_partner(const open_document& d, const std::string& line) {
    if (!d.path || line.empty()) return std::nullopt;
    const fs::path folder = d.path->parent_path();
    std::error_code ec;
    if (d.kind == description_kind::train) {
        const fs::path p = folder / (line + std::string(line_suffix));
        if (fs::is_regular_file(p, ec)) return p;
        return std::nullopt;
    }
    std::vector<fs::path> trains;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path p = it->path();
        if (line_name_of(p, description_kind::train) == line && it->is_regular_file(ec)) {
            trains.push_back(p);
        }
    }
    if (trains.empty()) return std::nullopt;
    return *std::ranges::min_element(trains);
}

}  // namespace

namespace {

description_pair pair_for(std::map<std::string, open_document>& docs, open_document& d) {
    description_pair p;
    p.of(d.kind).doc = &d;
    p.of(d.kind).path = d.path;
    const std::string line = d.path ? line_name_of(*d.path, d.kind) : "";
    side& other =
        p.of(d.kind == description_kind::line ? description_kind::train : description_kind::line);
    if (open_document* o = open_partner(docs, d, line); o != nullptr) {
        other.doc = o;
        other.path = o->path;
    } else {
        other.path = disk_partner(d, line);
    }
    return p;
}

// The editor's text as it is, a file on disk turned from code page 850 into the same UTF-8, so
// the check reads both alike.
std::optional<std::string> text_of(const side& s) {
    if (s.doc != nullptr) return s.doc->text;
    if (!s.path) return std::nullopt;
    const std::optional<std::string> bytes = read_file(*s.path);
    if (!bytes) return std::nullopt;
    return cp850_to_utf8(*bytes);
}

}  // namespace

namespace {

using nlohmann::json;

json position_json(std::size_t line, std::size_t column) {
    return {{"line", line}, {"character", column}};
}

// Where a place of a text is in the editor: 1-based line and byte column of the code page text
// (one byte per character), the field `length` bytes long; the whole line when no length is
// known, the first line when there is no place.
json range_of(const line_index& lines, std::int32_t line, std::int32_t column, std::int32_t length,
              position_encoding e) {
    const std::size_t l = line > 0 ? static_cast<std::size_t>(line - 1) : 0;
    const std::size_t from = line > 0 && column > 0 ? static_cast<std::size_t>(column - 1) : 0;
    const std::size_t start = lines.column(l, from, e);
    const std::size_t end = length > 0 ? lines.column(l, from + static_cast<std::size_t>(length), e)
                                       : lines.end_column(l, e);
    return {{"start", position_json(l, start)}, {"end", position_json(l, std::max(start, end))}};
}

// The words check prints after FILE:LINE:COLUMN: and the severity. A problem only the checker
// finds has no result code: its own message stands, without an "[R0]".
std::string message_of(const diagnostic& d, const station_table_t& table) {
    std::string m;
    if (d.level == severity::error && d.code == 0) {
        m = d.message;
        if (d.has_position) {
            m += " at " + std::to_string(d.position) + " m (km " +
                 kilometres_text(progressive_metres(table, d.position)) + ")";
        }
    } else {
        const std::string full = format_diagnostic(d, {}, table);
        const std::string_view mark = d.level == severity::error ? " error: " : " warning: ";
        const std::size_t at = full.find(mark);
        m = at == std::string::npos ? full : full.substr(at + mark.size());
    }
    if (!d.help.empty()) m += "\nhelp: " + d.help;
    return m;
}

}  // namespace

namespace {

struct check_context {
    description_pair& pair;
    std::map<std::string, json>& out;
    std::map<std::string, line_index> lines;
    position_encoding e;

    const line_index& lines_of(open_document& d) {
        return lines.try_emplace(d.uri, d.text).first->second;
    }
    // The open document a problem of kind k is shown in, and the words naming its file when
    // that is the other one.
    open_document* shown_in(description_kind k, std::string& prefix) {
        side& s = pair.of(k);
        if (s.doc != nullptr) return s.doc;
        side& other =
            pair.of(k == description_kind::line ? description_kind::train : description_kind::line);
        const std::string fallback =
            k == description_kind::line ? "line description" : "train description";
        prefix = (s.path ? file_name(*s.path) : fallback) + ": ";
        return other.doc;
    }
    std::string uri_of(description_kind k) {
        const side& s = pair.of(k);
        if (s.doc != nullptr) return s.doc->uri;
        return s.path ? path_uri(*s.path) : "";
    }
};

json related_of(check_context& c, const diagnostic& d) {
    json related = json::array();
    for (const diagnostic_note& n : d.notes) {
        const std::string uri = c.uri_of(n.where.file);
        if (uri.empty()) continue;
        open_document* doc = c.pair.of(n.where.file).doc;
        const json range =
            doc != nullptr ? range_of(c.lines_of(*doc), n.where.line, n.where.column, n.length, c.e)
                           : range_of(line_index(""), 0, 0, 0, c.e);
        related.push_back({{"location", {{"uri", uri}, {"range", range}}}, {"message", n.message}});
    }
    return related;
}

void add_diagnostic(check_context& c, const diagnostic& d, const station_table_t& table) {
    std::string prefix;
    open_document* doc = c.shown_in(d.where.file, prefix);
    if (doc == nullptr) return;
    const bool here = prefix.empty();
    json j = {
        {"range", range_of(c.lines_of(*doc), here ? d.where.line : 0, d.where.column,
                           here ? d.length : 0, c.e)},
        {"severity", d.level == severity::error ? 1 : 2},
        {"source", "compattatore"},
        {"message", prefix + message_of(d, table)},
    };
    if (d.code != 0) {
        std::string code = "R";  // appended, not added: GCC 12 warns falsely on "R" + string
        code += std::to_string(d.code);
        j["code"] = code;
    } else if (!d.kind.empty()) {
        j["code"] = d.kind;
    }
    if (json related = related_of(c, d); !related.empty()) j["relatedInformation"] = related;
    c.out[doc->uri].push_back(std::move(j));
}

std::string name_or(const std::optional<fs::path>& p, description_kind k, std::string fallback) {
    const std::string n =
        p ? (k == description_kind::line ? line_name_of(*p, k) : train_number_of(*p)) : "";
    return n.empty() ? fallback : n;
}

void check_pair(description_pair& pair, std::map<std::string, json>& out, position_encoding e) {
    author_sources sources;
    sources.line_text = text_of(pair.line);
    sources.train_text = text_of(pair.train);
    sources.line_name = name_or(pair.line.path, description_kind::line, "linea");
    sources.train_number = name_or(pair.train.path, description_kind::train, "1");
    sources.profile = true;  // as check runs it: curves are read only with the profile
    const author_check r =
        check_author_sources(std::move(sources), {.encoding = input_encoding::utf8});
    auto table = std::make_shared<const station_table_t>(r.compile.model.station_table);
    check_context c{pair, out, {}, e};
    for (side* s : {&pair.line, &pair.train}) {
        if (s->doc == nullptr) continue;
        out[s->doc->uri] = json::array();
        s->doc->stations = table;
    }
    for (const diagnostic& d : r.diagnostics) add_diagnostic(c, d, *table);
}

}  // namespace

std::map<std::string, json> document_store::check_around(const std::string& uri,
                                                         position_encoding e) {
    std::map<std::string, json> out;
    open_document* d = find(uri);
    if (d == nullptr) return out;
    // A line description is checked with every open train description paired with it.
    bool checked = false;
    if (d->kind == description_kind::line) {
        for (auto& [u, o] : documents_) {
            if (o.kind != description_kind::train) continue;
            description_pair p = pair_for(documents_, o);
            if (p.line.doc != d) continue;
            check_pair(p, out, e);
            checked = true;
        }
    }
    if (!checked) {
        description_pair p = pair_for(documents_, *d);
        check_pair(p, out, e);
    }
    return out;
}

}  // namespace compattatore::lsp
