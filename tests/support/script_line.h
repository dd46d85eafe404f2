#pragma once
// Script lines as a test reads them: line().delay(50).speed("1/250").iso(400) gives the line's text, its
// columns separated by tabs and ending after the last one given.
#include <array>
#include <string>

namespace orvex::test {

class ScriptLineText {
  public:
    // Tenths of a second after the previous line's moment.
    ScriptLineText& delay(int tenths) { return set(0, std::to_string(tenths)); }
    // Any text of the first column: a time of day "21:14:30", "Move", "Sound", "Loop", or a bad value.
    ScriptLineText& when(const std::string& text) { return set(0, text); }
    ScriptLineText& aperture(const std::string& f) { return set(1, f); }
    // "1/250" or "40": the numerator and denominator columns; speed("", "") leaves both present and empty.
    ScriptLineText& speed(const std::string& time) {
        const auto slash = time.find('/');
        if (slash == std::string::npos) return speed(time, "1");
        return speed(time.substr(0, slash), time.substr(slash + 1));
    }
    ScriptLineText& speed(const std::string& numerator, const std::string& denominator) {
        set(2, numerator);
        return set(3, denominator);
    }
    ScriptLineText& iso(int iso) { return set(4, std::to_string(iso)); }
    ScriptLineText& quality(const std::string& quality) { return set(5, quality); }
    // Seconds the cable is held for a burst.
    ScriptLineText& burst(int seconds) { return set(6, std::to_string(seconds)); }

    operator std::string() const {
        std::string text = columns_[0];
        for (int i = 1; i < used_; ++i) text += '\t' + columns_[i];
        return text;
    }

  private:
    ScriptLineText& set(int column, std::string text) {
        columns_[column] = std::move(text);
        if (column + 1 > used_) used_ = column + 1;
        return *this;
    }
    std::array<std::string, 7> columns_;
    int used_ = 1;
};

inline ScriptLineText line() {
    return {};
}

} // namespace orvex::test
