#include "core/catalogue.h"

#include <array>
#include <cstdio>
#include <string_view>
#include <vector>

namespace orvex {
namespace {

struct Entry {
    int number;
    const char* english;
    const char* french;
};

constexpr Entry kEntries[] = {
#include "core/catalogue_texts.inc"
};

constexpr int highestNumber() {
    int highest = 0;
    for (const Entry& e : kEntries) highest = e.number > highest ? e.number : highest;
    return highest;
}

constexpr int kHighest = highestNumber();

constexpr std::array<const Entry*, kHighest + 1> makeIndex() {
    std::array<const Entry*, kHighest + 1> index{};
    for (const Entry& e : kEntries) index[e.number] = &e;
    return index;
}

constexpr auto kIndex = makeIndex();

const Entry* find(int number) {
    if (number < 0 || number > kHighest) return nullptr;
    return kIndex[number];
}

// Replaces the conversions (%d, %s or %x) of the text by the values, in their order; a value is never read
// for conversions of its own.
std::string fill(const char* text, const std::vector<std::string>& values) {
    std::string s = text;
    std::size_t at = 0;
    for (const std::string& value : values) {
        while ((at = s.find('%', at)) != std::string::npos && std::string_view("dsx").find(s[at + 1]) > 2)
            ++at;
        if (at == std::string::npos) break;
        s.replace(at, 2, value);
        at += value.size();
    }
    return s;
}

} // namespace

int languageFromLangId(unsigned langId) {
    switch (langId) {
    case 1036:
    case 2060:
    case 3084:
    case 4108:
    case 5132:
    case 6156:
        return kFrench;
    default:
        return kEnglish;
    }
}

const char* messageText(int language, int number) {
    if (language != kEnglish && language != kFrench) return "Unknown language !";
    const Entry* e = find(number);
    if (!e) return "???";
    return language == kEnglish ? e->english : e->french;
}

const char* englishText(int number) {
    return messageText(kEnglish, number);
}

std::string formatMessage(int language, int number, long long value) {
    const char* text = messageText(language, number);
    const std::string s = text;
    const auto pos = s.find("%x");
    char buf[32];
    if (pos != std::string::npos)
        std::snprintf(buf, sizeof buf, "%x", static_cast<unsigned>(value));
    else
        std::snprintf(buf, sizeof buf, "%lld", value);
    return fill(text, {buf});
}

std::string formatMessage(int language, int number, const std::string& value) {
    return fill(messageText(language, number), {value});
}

std::string formatMessage(int language, int number, const std::vector<std::string>& values) {
    return fill(messageText(language, number), values);
}

} // namespace orvex
