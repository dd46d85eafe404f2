#pragma once
// What a virtual EOS body is: model text and protocol, controls, card, battery, the codes it offers and
// the faults it shows on demand. Made from a named preset, or from a profile file that may start from one.
#include "sdk/sdk.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace orvex {

struct VirtualProfile {
    std::string description = "Canon EOS 600D"; // the model text, also the product name property
    EdsUInt32 subtype = 1;                      // 0: the older protocol
    EdsUInt32 aeMode = 3;                       // the mode dial: 0 P, 1 Tv, 2 Av, 3 M, 4 B, others scenes
    EdsUInt32 driveMode = 0;                    // 0 single, 1, 4, 5 continuous
    EdsUInt32 afMode = 3;                       // 3 manual focus
    bool lens = true;
    bool liveView = true;
    bool bulbCommands = true;
    bool shutterButton = false;
    EdsUInt32 battery = 80; // percent, or kEdsBatteryLevel_AC on mains
    bool card = true;
    EdsUInt32 shotsLeft = 850;
    std::string bodyId = "0580123456"; // empty: the body does not tell its id
    std::string owner;
    std::string firmware = "1.0.2";
    std::vector<EdsUInt32> apertureCodes, shutterCodes, isoCodes;
    EdsUInt32 av = 0x38, tv = 0x68, iso = 0x48; // the settings at power-on
    EdsUInt32 quality = 0x0013FF0F;
    std::vector<EdsPropertyID> busy; // answered with EDS_ERR_DEVICE_BUSY, read or written
    std::map<EdsInt32, EdsUInt32> customFunctions;
    EdsInt32 lockupFunction = 0;  // the custom function that is mirror lock-up; 0: none the program checks
    bool saveToCamera = true;     // false: the body only sends its pictures to the computer
    bool thumbnails = false;      // a ".THM" beside every CRW, as the older bodies send
    unsigned processingMs = 500;  // from the shutter closing to the pictures being ready
    bool noiseReduction = false;  // a dark frame as long as the exposure is taken before processing
    unsigned picturesPerShot = 0; // 0: as the quality says; 1: one file; 2: RAW and JPEG
    unsigned fileGapMs = 0;       // between the files of one exposure reaching the computer
    unsigned downloadMBps = 0;    // the link's speed when downloads take real time; 0: no time at all
    // Faults on demand, each at one exposure (1 = the first), 0 for none:
    unsigned failDownloadAt = 0;    // its pictures fail half-way through their download
    unsigned shutdownAt = 0;        // the body shuts down instead of taking it
    unsigned afFailureAt = 0;       // the take-picture command for it fails to focus, once
    unsigned takePictureBusyAt = 0; // the take-picture command for it is answered busy, once
    unsigned captureErrorAt = 0;    // it is exposed, then the capture-error event comes instead of pictures
    unsigned cableLostAt = 0;       // the cable's port vanishes as it opens, letting go of the release
    int motion = 0;                 // live view object speed, sensor pixels per second to the right
    unsigned motionAfter = 0;       // seconds after the body is switched on that the object starts moving
    // Set by the program, never by a profile: its pictures are only named, never looked at, so that they are
    // made as small as a picture with its data can be.
    bool picturesUnseen = false;
};

// The presets by name, the default first.
std::vector<std::string> virtualPresetNames();
// The profile of a preset; none when no preset has that name.
std::optional<VirtualProfile> virtualPreset(const std::string& name);

// What is wrong with a profile, for the program to say in the user's language: the fault, where it lies
// ("body.ini:2"; the file alone when no line is to blame; empty for a name that is neither preset nor file),
// and the words its text names, in their order.
struct ProfileProblem {
    enum Fault {
        kNotANumber,           // key, lowest, highest, value
        kNotYesOrNo,           // key, value
        kTooLong,              // key, longest
        kCodeCount,            // key
        kNotAnEntry,           // key, entry
        kEmptyDescription,     //
        kNotABattery,          // value
        kNotADriveMode,        // value
        kNotAmongCodes,        // key, code, list key
        kNotALegacyQuality,    // code
        kNotAQuality,          // code
        kNotAShutterSpeed,     // code
        kNoLockupFunction,     // custom function
        kUnknownSection,       // line
        kNotKeyAndValue,       // line
        kOutsideCamera,        //
        kUnknownKey,           // key
        kGivenTwice,           // key
        kUnknownPreset,        // name, presets
        kNeitherPresetNorFile, // name, presets
    };
    Fault fault = kNotANumber;
    std::string where;
    std::vector<std::string> words;
};

// `presetOrPath`: a preset name, empty for the default preset, or the path of a profile file. On failure
// `problem` says what is wrong, naming the line of the file.
std::optional<VirtualProfile> loadVirtualProfile(const std::string& presetOrPath, ProfileProblem& problem);
// The same for a profile's text; `origin` names it in problems.
std::optional<VirtualProfile> parseVirtualProfile(const std::string& text, const std::string& origin,
                                                  ProfileProblem& problem);

} // namespace orvex
