#pragma once
// An initialisation-format file kept whole: reading it and writing some keys leaves the rest untouched.
#include <memory>
#include <optional>
#include <string>

namespace orvex {

class IniFile {
  public:
    IniFile();
    ~IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    enum class LoadResult { Loaded, Missing, Unreadable };
    LoadResult load(const std::string& path);
    // Key names are compared without regard to case, as profile strings are.
    std::optional<std::string> value(const std::string& section, const std::string& key) const;
    void setValue(const std::string& section, const std::string& key, const std::string& value);
    // Replaces the file atomically, so a failed write never leaves it truncated.
    bool save(const std::string& path) const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace orvex
