#pragma once
// Window templates as data: the one generic builder of the platform turns a template into a window.
#include <span>

namespace orvex {

enum class ControlKind {
    PushButton,
    Toggle,        // radio-style button with its text on the left, checked only by the program
    Label,         // static text
    DropDownList,  // height is that of the opened list
    ReadOnlyField, // bordered, centred, read-only edit field
    ProgressBar,   // smooth and bordered, range 0 to 100
    Edit,          // one line of text the user types
    CheckBox,      // check box with its text on the left, checked by the user's click
    GroupBox,      // a frame with a caption around other controls
    ListBox,       // a list that shows its entries, one selectable
    Icon,          // a picture; its text is the path of the image file it shows, empty for none
    PictureArea,   // a black area the program draws bitmaps into
};

// Style flags of a control.
inline constexpr unsigned kStyleCentred = 1; // an edit's text is centred
// The push button that Return presses from anywhere in its window; no other button answers Return.
inline constexpr unsigned kStyleDefaultButton = 2;

struct ControlTemplate {
    int id;
    ControlKind kind;
    int message;             // text from the catalogue when the texts are built; -1 for none
    int x, y, width, height; // dialog units
    unsigned style = 0;
};

struct DialogTemplate {
    const char* name;
    int width, height; // dialog units
    bool centred;
    bool minimiseBox;
    std::span<const ControlTemplate> controls;
};

} // namespace orvex
