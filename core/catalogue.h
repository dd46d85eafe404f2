#pragma once
// Every visible text by message number, in English and French.
#include <string>
#include <vector>

namespace orvex {

inline constexpr int kEnglish = 51; // number of the message "English"
inline constexpr int kFrench = 63;  // number of the message "French"

// The interface language for a system language id: the French ids give French, every other id English.
int languageFromLangId(unsigned langId);

// Text of a message in the language; "???" outside the catalogue, "Unknown language !" for another language.
const char* messageText(int language, int number);
// English text whatever the language: the settings file's section and key names.
const char* englishText(int number);

// A message with its single %d, %s or %x filled in.
std::string formatMessage(int language, int number, long long value);
std::string formatMessage(int language, int number, const std::string& value);
// A message with each of its conversions filled in, in their order.
std::string formatMessage(int language, int number, const std::vector<std::string>& values);

} // namespace orvex
