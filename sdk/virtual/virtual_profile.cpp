#include "sdk/virtual/virtual_profile.h"

#include "platform/ascii_case.h"
#include "platform/files.h"
#include "sdk/virtual/eos_codes.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <functional>
#include <sstream>

namespace orvex {
namespace {

using virtualcam::apertureCodesFrom;
using virtualcam::fullStopIsoCodes;
using virtualcam::standardIsoCodes;
using virtualcam::standardShutterCodes;

constexpr EdsUInt32 kLegacyJpegLargeFine = 0x00130000;
constexpr EdsUInt32 kJpegLargeFine = 0x0013FF0F;
constexpr std::size_t kMaxText = 79; // the program reads these texts into 80-byte buffers

// The default preset: a body that times bulb exposures through its own commands and has live view.
VirtualProfile bulbBody() {
    VirtualProfile p;
    p.shutterCodes = standardShutterCodes(false);
    p.apertureCodes = apertureCodesFrom(0x25);
    p.isoCodes = standardIsoCodes();
    return p;
}

VirtualProfile pressShutterBody() {
    VirtualProfile p = bulbBody();
    p.description = "Canon EOS 5D Mark III";
    p.bulbCommands = false;
    p.shutterButton = true;
    p.afMode = 0; // one-shot AF, so that live view offers the focus drive
    p.battery = 90;
    p.shotsLeft = 1240;
    p.bodyId = "023021012345";
    p.firmware = "1.3.5";
    p.shutterCodes = standardShutterCodes(true);
    p.apertureCodes = apertureCodesFrom(0x20);
    return p;
}

VirtualProfile shutterButtonBody() {
    VirtualProfile p = bulbBody();
    p.description = "Canon EOS 1100D";
    p.bulbCommands = false;
    p.shutterButton = true;
    p.battery = 70;
    p.bodyId = "1232109876";
    p.firmware = "1.0.5";
    return p;
}

VirtualProfile cableBody() {
    VirtualProfile p = bulbBody();
    p.description = "Canon EOS 450D";
    p.liveView = false;
    p.bulbCommands = false;
    p.bodyId = "1720345678";
    p.firmware = "1.1.1";
    p.isoCodes = fullStopIsoCodes();
    return p;
}

// Continuous drive, no live view, no bulb commands: bursts and long exposures go through the cable.
VirtualProfile burstBody() {
    VirtualProfile p = cableBody();
    p.description = "Canon EOS 30D";
    p.driveMode = 1;
    p.bodyId = "0420778899";
    p.firmware = "1.0.5";
    return p;
}

// Live view, but no command that holds the shutter open: long exposures need the cable.
VirtualProfile liveViewCableBody() {
    VirtualProfile p = cableBody();
    p.description = "Canon EOS 1000D";
    p.liveView = true;
    p.bodyId = "1830765432";
    p.firmware = "1.0.7";
    return p;
}

VirtualProfile legacyBody(const char* description) {
    VirtualProfile p = cableBody();
    p.description = description;
    p.subtype = 0;
    p.quality = kLegacyJpegLargeFine;
    p.thumbnails = true;
    return p;
}

VirtualProfile legacyLockupBody() {
    VirtualProfile p = legacyBody("Canon EOS 400D DIGITAL");
    p.customFunctions = {{7, 0}};
    p.lockupFunction = 7;
    p.bodyId = "0620456789";
    return p;
}

VirtualProfile body300D() {
    VirtualProfile p = legacyBody("Canon EOS 300D DIGITAL");
    p.saveToCamera = false;
    p.bodyId = "0560234567";
    return p;
}

VirtualProfile body10D() {
    VirtualProfile p = legacyBody("Canon EOS 10D");
    p.customFunctions = {{12, 0}};
    p.lockupFunction = 12;
    p.saveToCamera = false;
    p.bodyId = "0330112233";
    p.firmware = "2.0.0";
    return p;
}

VirtualProfile noLiveViewBody() {
    VirtualProfile p = bulbBody();
    p.description = "Canon EOS 40D";
    p.liveView = false;
    p.bodyId = "0830554433";
    p.firmware = "1.1.1";
    p.shutterCodes = standardShutterCodes(true);
    return p;
}

const std::vector<std::pair<std::string, std::function<VirtualProfile()>>>& presets() {
    static const std::vector<std::pair<std::string, std::function<VirtualProfile()>>> list = {
        {"bulb", bulbBody},
        {"press-shutter", pressShutterBody},
        {"shutter-button", shutterButtonBody},
        {"cable", cableBody},
        {"legacy-lockup", legacyLockupBody},
        {"300d", body300D},
        {"10d", body10D},
        {"no-liveview", noLiveViewBody},
        {"burst", burstBody},
        {"liveview-cable", liveViewCableBody},
    };
    return list;
}

std::string trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

std::vector<std::string> splitList(const std::string& s, char separator) {
    std::vector<std::string> parts;
    std::stringstream in(s);
    std::string part;
    while (std::getline(in, part, separator)) parts.push_back(trim(part));
    return parts;
}

std::string hex(EdsUInt32 v) {
    std::ostringstream out;
    out << "0x" << std::uppercase << std::hex << v;
    return out.str();
}

// Decimal or 0x-hexadecimal, nothing else on the text.
bool parseNumber(const std::string& text, std::uint64_t max, std::uint64_t& out) {
    const bool isHex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = isHex ? text.substr(2) : text;
    if (digits.empty() || digits.size() > 16) return false;
    std::uint64_t v = 0;
    for (char c : digits) {
        const int d = std::isdigit(static_cast<unsigned char>(c))             ? c - '0'
                      : isHex && std::isxdigit(static_cast<unsigned char>(c)) ? lowerAscii(c) - 'a' + 10
                                                                              : -1;
        if (d < 0) return false;
        v = v * (isHex ? 16 : 10) + static_cast<unsigned>(d);
        if (v > max) return false;
    }
    out = v;
    return true;
}

class Reader {
  public:
    explicit Reader(ProfileProblem& problem) : problem_(problem) {}
    std::string where; // the place a problem names

    bool fail(ProfileProblem::Fault fault, std::vector<std::string> words = {}) {
        problem_ = {fault, where, std::move(words)};
        return false;
    }

    bool number(const std::string& key, const std::string& v, std::uint64_t max, EdsUInt32& out) {
        std::uint64_t n = 0;
        if (!parseNumber(v, max, n))
            return fail(ProfileProblem::kNotANumber, {key, "0", std::to_string(max), v});
        out = static_cast<EdsUInt32>(n);
        return true;
    }

    bool unsignedValue(const std::string& key, const std::string& v, std::uint64_t max, unsigned& out) {
        EdsUInt32 n = 0;
        if (!number(key, v, max, n)) return false;
        out = n;
        return true;
    }

    bool flag(const std::string& key, const std::string& v, bool& out) {
        const std::string l = lowerAscii(v);
        if (l == "yes" || l == "true" || l == "on" || l == "1")
            out = true;
        else if (l == "no" || l == "false" || l == "off" || l == "0")
            out = false;
        else
            return fail(ProfileProblem::kNotYesOrNo, {key, v});
        return true;
    }

    bool text(const std::string& key, const std::string& v, std::size_t max, std::string& out) {
        if (v.size() > max) return fail(ProfileProblem::kTooLong, {key, std::to_string(max)});
        out = v;
        return true;
    }

    bool codes(const std::string& key, const std::string& v, std::vector<EdsUInt32>& out) {
        std::vector<EdsUInt32> list;
        for (const std::string& part : splitList(v, ',')) {
            EdsUInt32 code = 0;
            if (!number(key, part, 0xFFFFFFFF, code)) return false;
            list.push_back(code);
        }
        if (list.empty() || list.size() > 128) return fail(ProfileProblem::kCodeCount, {key});
        out = list;
        return true;
    }

    bool functions(const std::string& key, const std::string& v, std::map<EdsInt32, EdsUInt32>& out) {
        std::map<EdsInt32, EdsUInt32> map;
        for (const std::string& part : splitList(v, ',')) {
            const auto equals = part.find('=');
            if (equals == std::string::npos) return fail(ProfileProblem::kNotAnEntry, {key, part});
            EdsUInt32 number = 0, value = 0;
            if (!this->number(key, trim(part.substr(0, equals)), 0x7FFFFFFF, number) ||
                !this->number(key, trim(part.substr(equals + 1)), 0xFFFFFFFF, value))
                return false;
            map[static_cast<EdsInt32>(number)] = value;
        }
        out = map;
        return true;
    }

  private:
    ProfileProblem& problem_;
};

// Each key with how it is read into the profile.
using Setter =
    std::function<bool(Reader&, const std::string& key, const std::string& value, VirtualProfile&)>;

Setter numberOf(EdsUInt32 VirtualProfile::*field, std::uint64_t max) {
    return [=](Reader& r, const std::string& k, const std::string& v, VirtualProfile& p) {
        return r.number(k, v, max, p.*field);
    };
}

Setter countOf(unsigned VirtualProfile::*field, std::uint64_t max) {
    return [=](Reader& r, const std::string& k, const std::string& v, VirtualProfile& p) {
        return r.unsignedValue(k, v, max, p.*field);
    };
}

Setter flagOf(bool VirtualProfile::*field) {
    return [=](Reader& r, const std::string& k, const std::string& v, VirtualProfile& p) {
        return r.flag(k, v, p.*field);
    };
}

Setter textOf(std::string VirtualProfile::*field, std::size_t max) {
    return [=](Reader& r, const std::string& k, const std::string& v, VirtualProfile& p) {
        return r.text(k, v, max, p.*field);
    };
}

Setter codesOf(std::vector<EdsUInt32> VirtualProfile::*field) {
    return [=](Reader& r, const std::string& k, const std::string& v, VirtualProfile& p) {
        return r.codes(k, v, p.*field);
    };
}

bool readDescription(Reader& r, const std::string& k, const std::string& v, VirtualProfile& p) {
    if (v.empty()) return r.fail(ProfileProblem::kEmptyDescription);
    return r.text(k, v, EDS_MAX_NAME - 1, p.description);
}

bool readBattery(Reader& r, const std::string& k, const std::string& v, VirtualProfile& p) {
    if (lowerAscii(v) == "mains") {
        p.battery = kEdsBatteryLevel_AC;
        return true;
    }
    return r.number(k, v, 100, p.battery) || r.fail(ProfileProblem::kNotABattery, {v});
}

bool readBusy(Reader& r, const std::string& k, const std::string& v, VirtualProfile& p) {
    if (v.empty()) {
        p.busy.clear();
        return true;
    }
    return r.codes(k, v, p.busy);
}

bool readCustomFunctions(Reader& r, const std::string& k, const std::string& v, VirtualProfile& p) {
    return r.functions(k, v, p.customFunctions);
}

bool readLockupFunction(Reader& r, const std::string& k, const std::string& v, VirtualProfile& p) {
    EdsUInt32 n = 0;
    if (!r.number(k, v, 0x7FFFFFFF, n)) return false;
    p.lockupFunction = static_cast<EdsInt32>(n);
    return true;
}

bool readDriveMode(Reader& r, const std::string& k, const std::string& v, VirtualProfile& p) {
    if (!r.number(k, v, 0xFFFFFFFF, p.driveMode)) return false;
    if (virtualcam::isKnownDriveMode(p.driveMode)) return true;
    return r.fail(ProfileProblem::kNotADriveMode, {v});
}

bool readMotion(Reader& r, const std::string& k, const std::string& v, VirtualProfile& p) {
    constexpr std::uint64_t kFastest = 100000;
    const bool negative = !v.empty() && v[0] == '-';
    std::uint64_t n = 0;
    if (!parseNumber(negative ? v.substr(1) : v, kFastest, n))
        return r.fail(ProfileProblem::kNotANumber,
                      {k, "-" + std::to_string(kFastest), std::to_string(kFastest), v});
    p.motion = negative ? -static_cast<int>(n) : static_cast<int>(n);
    return true;
}

// Each key, spelt as documented, with how it is read into the profile.
const std::map<std::string, Setter>& setters() {
    using P = VirtualProfile;
    constexpr std::uint64_t kAny = 0xFFFFFFFF, kCount = 0x7FFFFFFF;
    static const std::map<std::string, Setter> map = {
        {"description", readDescription},
        {"subtype", numberOf(&P::subtype, kAny)},
        {"aeMode", numberOf(&P::aeMode, kAny)},
        {"driveMode", readDriveMode},
        {"afMode", numberOf(&P::afMode, kAny)},
        {"lens", flagOf(&P::lens)},
        {"liveView", flagOf(&P::liveView)},
        {"bulbCommands", flagOf(&P::bulbCommands)},
        {"shutterButton", flagOf(&P::shutterButton)},
        {"battery", readBattery},
        {"card", flagOf(&P::card)},
        {"shotsLeft", numberOf(&P::shotsLeft, 0xFFFFFFFE)},
        {"bodyId", textOf(&P::bodyId, kMaxText)},
        {"owner", textOf(&P::owner, 31)},
        {"firmware", textOf(&P::firmware, kMaxText)},
        {"apertureCodes", codesOf(&P::apertureCodes)},
        {"shutterCodes", codesOf(&P::shutterCodes)},
        {"isoCodes", codesOf(&P::isoCodes)},
        {"av", numberOf(&P::av, kAny)},
        {"tv", numberOf(&P::tv, kAny)},
        {"iso", numberOf(&P::iso, kAny)},
        {"quality", numberOf(&P::quality, kAny)},
        {"busy", readBusy},
        {"customFunctions", readCustomFunctions},
        {"lockupFunction", readLockupFunction},
        {"saveToCamera", flagOf(&P::saveToCamera)},
        {"thumbnails", flagOf(&P::thumbnails)},
        {"processingMs", countOf(&P::processingMs, 600000)},
        {"noiseReduction", flagOf(&P::noiseReduction)},
        {"picturesPerShot", countOf(&P::picturesPerShot, 2)},
        {"fileGapMs", countOf(&P::fileGapMs, 600000)},
        {"downloadMBps", countOf(&P::downloadMBps, 10000)},
        {"failDownloadAt", countOf(&P::failDownloadAt, kCount)},
        {"shutdownAt", countOf(&P::shutdownAt, kCount)},
        {"afFailureAt", countOf(&P::afFailureAt, kCount)},
        {"takePictureBusyAt", countOf(&P::takePictureBusyAt, kCount)},
        {"captureErrorAt", countOf(&P::captureErrorAt, kCount)},
        {"cableLostAt", countOf(&P::cableLostAt, kCount)},
        {"motion", readMotion},
        {"motionAfter", countOf(&P::motionAfter, 86400)},
    };
    return map;
}

// The key as the documentation spells it, whatever the case it was written in; empty when unknown.
std::string canonicalKey(const std::string& written) {
    const std::string l = lowerAscii(written);
    if (l == "preset") return "preset";
    for (const auto& [name, setter] : setters())
        if (lowerAscii(name) == l) return name;
    return {};
}

bool contains(const std::vector<EdsUInt32>& list, EdsUInt32 code) {
    return std::find(list.begin(), list.end(), code) != list.end();
}

// A setting that the profile left to the preset follows the codes the profile offers instead; one the
// profile gave must be among them.
bool settle(Reader& r, const char* key, const char* listKey, bool given, const std::vector<EdsUInt32>& list,
            EdsUInt32 preferred, EdsUInt32& value) {
    if (contains(list, value)) return true;
    if (given) return r.fail(ProfileProblem::kNotAmongCodes, {key, hex(value), listKey});
    if (contains(list, preferred)) {
        value = preferred;
        return true;
    }
    const auto usable =
        std::find_if(list.begin(), list.end(), [](EdsUInt32 c) { return c != virtualcam::kTvBulb; });
    value = usable != list.end() ? *usable : list.front();
    return true;
}

// The keys the profile gave, each with the place of its line: what does not fit is blamed on that line.
using GivenKeys = std::map<std::string, std::string>;

bool validate(Reader& r, const GivenKeys& given, VirtualProfile& p) {
    const std::string origin = r.where;
    // The first of `keys` the profile gave names the line; none given: the file alone.
    const auto at = [&](std::initializer_list<const char*> keys) -> Reader& {
        r.where = origin;
        for (const char* key : keys)
            if (const auto it = given.find(key); it != given.end()) {
                r.where = it->second;
                break;
            }
        return r;
    };
    const bool legacy = p.subtype == 0;
    if (!virtualcam::decodeQuality(p.quality, legacy)) {
        if (given.count("quality"))
            return at({"quality"})
                .fail(legacy ? ProfileProblem::kNotALegacyQuality : ProfileProblem::kNotAQuality,
                      {hex(p.quality)});
        p.quality = legacy ? kLegacyJpegLargeFine : kJpegLargeFine;
    }
    if (!settle(at({"tv"}), "tv", "shutterCodes", given.count("tv"), p.shutterCodes, 0x68, p.tv) ||
        !settle(at({"av"}), "av", "apertureCodes", given.count("av"), p.apertureCodes, 0x38, p.av) ||
        !settle(at({"iso"}), "iso", "isoCodes", given.count("iso"), p.isoCodes, 0x48, p.iso))
        return false;
    for (EdsUInt32 code : p.shutterCodes)
        if (code != virtualcam::kTvBulb && !virtualcam::shutterMicroseconds(code))
            return at({"shutterCodes"}).fail(ProfileProblem::kNotAShutterSpeed, {hex(code)});
    if (p.lockupFunction != 0 && !p.customFunctions.count(p.lockupFunction))
        return at({"lockupFunction", "customFunctions"})
            .fail(ProfileProblem::kNoLockupFunction, {std::to_string(p.lockupFunction)});
    return true;
}

// The presets' names as a problem lists them.
std::string presetList() {
    std::string list;
    for (const std::string& name : virtualPresetNames()) list += (list.empty() ? "" : ", ") + name;
    return list;
}

} // namespace

std::vector<std::string> virtualPresetNames() {
    std::vector<std::string> names;
    for (const auto& [name, make] : presets()) names.push_back(name);
    return names;
}

std::optional<VirtualProfile> virtualPreset(const std::string& name) {
    for (const auto& [presetName, make] : presets())
        if (presetName == lowerAscii(name)) return make();
    return std::nullopt;
}

std::optional<VirtualProfile> parseVirtualProfile(const std::string& text, const std::string& origin,
                                                  ProfileProblem& problem) {
    Reader r(problem);
    struct Entry {
        std::string key, value;
        int line;
    };
    std::vector<Entry> entries;
    GivenKeys given;
    bool inCamera = false;
    // An editor's byte-order mark belongs to no line.
    std::istringstream in(text.starts_with("\xEF\xBB\xBF") ? text.substr(3) : text);
    std::string raw;
    for (int line = 1; std::getline(in, raw); ++line) {
        r.where = origin + ":" + std::to_string(line);
        const std::string s = trim(raw);
        if (s.empty() || s[0] == ';' || s[0] == '#') continue;
        if (s.front() == '[') {
            if (s.back() != ']' || lowerAscii(trim(s.substr(1, s.size() - 2))) != "camera") {
                r.fail(ProfileProblem::kUnknownSection, {s});
                return std::nullopt;
            }
            inCamera = true;
            continue;
        }
        const auto equals = s.find('=');
        if (equals == std::string::npos) {
            r.fail(ProfileProblem::kNotKeyAndValue, {s});
            return std::nullopt;
        }
        if (!inCamera) {
            r.fail(ProfileProblem::kOutsideCamera);
            return std::nullopt;
        }
        const std::string key = canonicalKey(trim(s.substr(0, equals)));
        if (key.empty()) {
            r.fail(ProfileProblem::kUnknownKey, {trim(s.substr(0, equals))});
            return std::nullopt;
        }
        if (!given.emplace(key, r.where).second) {
            r.fail(ProfileProblem::kGivenTwice, {key});
            return std::nullopt;
        }
        entries.push_back({key, trim(s.substr(equals + 1)), line});
    }

    std::optional<VirtualProfile> profile = virtualPreset(virtualPresetNames().front());
    for (const Entry& e : entries)
        if (e.key == "preset") {
            r.where = origin + ":" + std::to_string(e.line);
            profile = virtualPreset(e.value);
            if (!profile) {
                r.fail(ProfileProblem::kUnknownPreset, {e.value, presetList()});
                return std::nullopt;
            }
        }
    for (const Entry& e : entries) {
        if (e.key == "preset") continue;
        r.where = origin + ":" + std::to_string(e.line);
        if (!setters().at(e.key)(r, e.key, e.value, *profile)) return std::nullopt;
    }
    r.where = origin;
    if (!validate(r, given, *profile)) return std::nullopt;
    return profile;
}

std::optional<VirtualProfile> loadVirtualProfile(const std::string& presetOrPath, ProfileProblem& problem) {
    if (presetOrPath.empty()) return virtualPreset(virtualPresetNames().front());
    if (auto preset = virtualPreset(presetOrPath)) return preset;
    // A folder would open and read as nothing, a FIFO would block for ever: only a regular file is a profile.
    std::ifstream file;
    if (fileExists(presetOrPath)) file.open(presetOrPath, std::ios::binary);
    if (!file.is_open()) {
        problem = {ProfileProblem::kNeitherPresetNorFile, "", {presetOrPath, presetList()}};
        return std::nullopt;
    }
    std::ostringstream text;
    text << file.rdbuf();
    return parseVirtualProfile(text.str(), presetOrPath, problem);
}

} // namespace orvex
