#include "platform/ini_file.h"

#include "platform/files.h"

#include <SimpleIni.h>
#include <filesystem>

namespace orvex {

struct IniFile::Impl {
    CSimpleIniA ini{false, false, false};
};

IniFile::IniFile() : impl_(std::make_unique<Impl>()) {}
IniFile::~IniFile() = default;

IniFile::LoadResult IniFile::load(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return LoadResult::Missing;
    // A folder or a device under that name would be read as a file of absurd length.
    if (!std::filesystem::is_regular_file(path, ec)) return LoadResult::Unreadable;
    return impl_->ini.LoadFile(path.c_str()) < 0 ? LoadResult::Unreadable : LoadResult::Loaded;
}

std::optional<std::string> IniFile::value(const std::string& section, const std::string& key) const {
    const char* v = impl_->ini.GetValue(section.c_str(), key.c_str(), nullptr);
    if (!v) return std::nullopt;
    return std::string(v);
}

void IniFile::setValue(const std::string& section, const std::string& key, const std::string& value) {
    impl_->ini.SetValue(section.c_str(), key.c_str(), value.c_str());
}

bool IniFile::save(const std::string& path) const {
    std::string content;
    if (impl_->ini.Save(content) < 0) return false;
    return writeFileAtomically(path, content);
}

} // namespace orvex
