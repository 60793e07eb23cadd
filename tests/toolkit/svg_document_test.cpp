// The SVG builder escapes what it is given, converts the files' texts from the code page, and
// writes numbers and paths in the one form the pictures use.

#include "toolkit/svg_document.hpp"

#include <gtest/gtest.h>

#include <functional>

#include "xml_check.hpp"

namespace compattatore {
namespace {

// The markup of one element, as a document writes it.
std::string markup(const svg_element& e) {
    svg_document doc(10, 10);
    doc.add(e);
    const std::string all = std::move(doc).finish();
    const std::string end = "</svg>\n";
    const std::size_t last = all.rfind('\n', all.size() - end.size() - 2);
    return all.substr(last + 1, all.size() - end.size() - last - 2);
}

TEST(SvgElement, EscapesAttributesAndTextAndConvertsFileTexts) {
    struct {
        const char* name;
        std::function<svg_element()> build;
        const char* expected;
    } cases[] = {
        {"attribute with markup characters",
         [] { return std::move(svg_element("g").attr("id", "a\"b<c>&'d")); },
         "<g id=\"a&quot;b&lt;c&gt;&amp;&apos;d\"/>"},
        {"text with markup characters",
         [] { return std::move(svg_text(1, 2).text("A&B <x> 'q'")); },
         "<text x=\"1.0\" y=\"2.0\">A&amp;B &lt;x&gt; &apos;q&apos;</text>"},
        {"file text from the code page",
         [] { return std::move(svg_text(0, 0).text(file_text{"SAN NICOL\xb7 \x85&\x82"})); },
         "<text x=\"0.0\" y=\"0.0\">SAN NICOL\xc3\x80 \xc3\xa0&amp;\xc3\xa9</text>"},
        {"control characters XML does not allow",
         [] {
             return std::move(
                 svg_text(0, 0).text(file_text{"a\x01"
                                               "b\x1f"}));
         },
         "<text x=\"0.0\" y=\"0.0\">a?b?</text>"},
        {"UTF-8 in an attribute passes unchanged",
         [] { return std::move(svg_element("g").attr("class", "\xc3\xa0")); },
         "<g class=\"\xc3\xa0\"/>"},
        {"numbers with one decimal", [] { return svg_line(0, 1.04, -2.5, 1234.56); },
         "<line x1=\"0.0\" y1=\"1.0\" x2=\"-2.5\" y2=\"1234.6\"/>"},
        {"rectangles at least half a unit wide", [] { return svg_rect(1, 2, 0.1, 3); },
         "<rect x=\"1.0\" y=\"2.0\" width=\"0.5\" height=\"3.0\"/>"},
        {"circle", [] { return svg_circle(3, 4, 2); }, "<circle cx=\"3.0\" cy=\"4.0\" r=\"2.0\"/>"},
        {"path of moves, lines and relative pieces",
         [] {
             return svg_path(path_data()
                                 .move_to(1, 2)
                                 .line_to(3, 4.26)
                                 .move_to(5, 6)
                                 .relative("l-5 10 h10")
                                 .close());
         },
         "<path d=\"M1.0 2.0 L3.0 4.3 M5.0 6.0 l-5 10 h10 Z\"/>"},
    };
    for (const auto& k : cases) {
        const svg_element e = k.build();
        EXPECT_EQ(markup(e), k.expected) << k.name;
    }
}

TEST(SvgDocument, IsOneWellFormedPictureOnAWhitePage) {
    svg_document doc(640, 480.5);
    doc.add(svg_text(1, 2).text("<&>"));
    const std::string svg = std::move(doc).finish();
    EXPECT_EQ(testing::xml_fault(svg), "");
    EXPECT_EQ(svg.substr(0, svg.find("<text")),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"640.0\" height=\"480.5\" "
              "viewBox=\"0 0 640.0 480.5\" font-family=\"DejaVu Sans, Arial, sans-serif\">\n"
              "<rect x=\"0\" y=\"0\" width=\"640.0\" height=\"480.5\" fill=\"white\"/>\n");
    EXPECT_TRUE(svg.ends_with("&lt;&amp;&gt;</text>\n</svg>\n")) << svg;
}

}  // namespace
}  // namespace compattatore
