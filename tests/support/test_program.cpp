#include "tests/support/test_program.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>

namespace orvex::test {

namespace {

class FakeSerialLine : public SerialLine {
  public:
    bool setLines(bool) override { return true; }
};

} // namespace

std::unique_ptr<SerialLine> FakeSerialPorts::open(const std::string& name) {
    if (unavailable.count(name) || std::find(names.begin(), names.end(), name) == names.end()) return nullptr;
    return std::make_unique<FakeSerialLine>();
}

TempDir::TempDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("orvex-test-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string TempDir::write(const std::string& name, const std::string& content) const {
    const auto file = path_ / name;
    std::ofstream(file, std::ios::binary) << content;
    return file.string();
}

std::string TempDir::read(const std::filesystem::path& name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string scriptText(const std::vector<std::string>& lines) {
    std::string text = "DELAY\tF/D\tSPEEDX\tSPEED/\tISO\tQUALITY\tBURST\n";
    for (const std::string& l : lines) text += l + "\n";
    return text;
}

} // namespace orvex::test
