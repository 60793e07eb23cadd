#pragma once
// JSON written while it is made, laid out exactly as nlohmann's dump(2) lays out a whole tree.
// A listing of a million profile points or twenty thousand cells never exists as one tree in
// memory: only the value being written does.

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace compattatore::inspect {

class json_writer {
  public:
    using json = nlohmann::ordered_json;

    explicit json_writer(std::ostream& out) : out_(out) {}

    // An object or array as the next value: the root, an array's next element, or the value of
    // the member named last. close() ends the innermost one.
    void open_object() { open('{', true); }
    void open_array() { open('[', false); }
    void close();

    // The next member of the innermost object is called name; its value follows.
    void key(std::string_view name);
    // A whole value as the next one.
    void value(const json& v);
    void member(std::string_view name, const json& v) {
        key(name);
        value(v);
    }

  private:
    struct level {
        bool object;
        bool empty = true;
    };
    void open(char bracket, bool object);
    void start_value();
    void new_line_in(level& l);

    std::ostream& out_;
    std::vector<level> open_;
    bool after_key_ = false;
};

}  // namespace compattatore::inspect
