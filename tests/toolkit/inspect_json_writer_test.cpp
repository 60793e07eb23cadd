// inspect writes its JSON while it makes it; the bytes are those the whole tree would dump to.

#include "toolkit/inspect_json_writer.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace compattatore {
namespace {

using json = inspect::json_writer::json;

// Writes v through the writer: containers opened and closed one member at a time down to
// `whole_below`, deeper values handed over whole.
void write(inspect::json_writer& w, const json& v, int whole_below) {
    if (!v.is_structured() || whole_below == 0) {
        w.value(v);
        return;
    }
    if (v.is_object()) {
        w.open_object();
        for (const auto& [k, member] : v.items()) {
            w.key(k);
            write(w, member, whole_below - 1);
        }
    } else {
        w.open_array();
        for (const json& element : v) write(w, element, whole_below - 1);
    }
    w.close();
}

TEST(InspectJsonWriter, WritesTheBytesOfTheWholeTreesDump) {
    const json trees[] = {
        json::object(),
        json::array(),
        42,
        json{{"files", json::array()}},
        json{{"a", json::object()}, {"b", json::array()}, {"c", nullptr}},
        json{{"files",
              {{{"file", "x.sim"}, {"bytes", 3}, {"names", {"a\nb", "\"q\"", "\xC3\xA0"}}},
               {{"file", "y.dat"}, {"runs", {{"gradient", json::array()}, {"speed", {1, 2}}}}}}}},
        json::array({json::array({json::array({1.5, -0.0, 1e300})}), json::object()}),
    };
    for (const json& tree : trees) {
        for (int whole_below = 0; whole_below < 5; ++whole_below) {
            std::ostringstream out;
            inspect::json_writer w(out);
            write(w, tree, whole_below);
            EXPECT_EQ(out.str(), tree.dump(2)) << tree.dump() << " whole below " << whole_below;
        }
    }
}

TEST(InspectJsonWriter, RefusesWhatWouldNotBeJson) {
    std::ostringstream out;
    inspect::json_writer w(out);
    EXPECT_THROW(w.close(), std::logic_error);
    w.open_object();
    EXPECT_THROW(w.value(1), std::logic_error);  // a member needs its name
    w.key("a");
    EXPECT_THROW(w.key("b"), std::logic_error);  // and then its value
    w.open_array();
    EXPECT_THROW(w.key("c"), std::logic_error);
    w.close();
    w.close();
    EXPECT_EQ(out.str(), "{\n  \"a\": []\n}");
}

}  // namespace
}  // namespace compattatore
