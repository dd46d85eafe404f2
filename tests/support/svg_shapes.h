#pragma once
// The shapes of a plan's SVG as a test reads them: each element with a class, its attributes, and its title
// or its text.
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace orvex::test {

struct SvgShape {
    std::string element, cls;
    std::map<std::string, std::string> attributes;
    std::string title, text;
    double number(const std::string& name) const { return std::stod(attributes.at(name)); }
};

inline std::vector<SvgShape> svgShapes(const std::string& svg) {
    static const std::regex element(
        R"re(<(rect|line|text|path) class="([^"]*)"([^>]*?)/?>(?:<title>([^<]*)</title>)?([^<\n]*))re");
    static const std::regex attribute(R"re( ([\w-]+)="([^"]*)")re");
    std::vector<SvgShape> shapes;
    for (auto e = std::sregex_iterator(svg.begin(), svg.end(), element); e != std::sregex_iterator(); ++e) {
        SvgShape shape{(*e)[1], (*e)[2], {}, (*e)[4], (*e)[5]};
        const std::string attributes = (*e)[3];
        for (auto a = std::sregex_iterator(attributes.begin(), attributes.end(), attribute);
             a != std::sregex_iterator(); ++a)
            shape.attributes[(*a)[1]] = (*a)[2];
        shapes.push_back(std::move(shape));
    }
    return shapes;
}

// The shapes of that element whose class is `cls` or begins with it and a blank.
inline std::vector<SvgShape> shapesOf(const std::vector<SvgShape>& shapes, const std::string& element,
                                      const std::string& cls) {
    std::vector<SvgShape> found;
    for (const SvgShape& s : shapes)
        if (s.element == element && (s.cls == cls || s.cls.rfind(cls + " ", 0) == 0)) found.push_back(s);
    return found;
}

// The x of the axis tick labelled so; -1 when there is none.
inline double tickX(const std::vector<SvgShape>& shapes, const std::string& label) {
    for (const SvgShape& s : shapesOf(shapes, "text", "tick"))
        if (s.text == label) return s.number("x");
    return -1;
}

} // namespace orvex::test
