#include "app/MenuTable.h"

namespace orvane {

namespace {

constexpr MenuEntry kMainMenu[] = {
    {"&File", "&Open Event ...\tCtrl+O", kCmOpenEvent, "Opens an earthquake"},
    {"&File", "&Close Event ...", kCmCloseEvent, "Closes and earthquake"},
    {"&File", "Open &Exercise...", kCmOpenExercise, "Opens a saved exercise"},
    {"&File", "&Save Exercise\tCtrl+S", kCmSaveExercise, "Saves the picks and trials of this exercise"},
    {"&File", "Save Exercise &As...\tCtrl+Shift+S", kCmSaveExerciseAs, "Saves the exercise under a new name"},
    {"&File", "Export &Trials...", kCmExportTrials, "Writes the trials to a CSV file for the teacher"},
    {"&File", nullptr, 0, nullptr},
    {"&File", "Print Pre&view...", kCmPrintPreview, "Displays full pages as read-only"},
    {"&File", "&Print...\tCtrl+P", kCmPrint, "Prints the active document"},
    {"&File", "P&rint Setup...", kCmPrintSetup, "Sets print characteristics for the active document"},
    {"&File", nullptr, 0, nullptr},
    {"&File", "E&xit\tAlt+F4", kCmExit, "Quits Orvane and prompts to save the documents"},
    {"&Controls", "Set &Depth ...", kCmSetDepth, nullptr},
    {"&Controls", "Set maximum &RMS value ...", kCmMaximumRms, nullptr},
    {"&Controls", nullptr, 0, nullptr},
    {"&Controls", "Zoom &In\tCtrl++; Ctrl+=", kCmZoomIn, "Zoom in"},
    {"&Controls", "Zoom &Out\tCtrl+-", kCmZoomOut, "Zoom out"},
    {"&Controls", nullptr, 0, nullptr},
    {"&Controls", "&North\tCtrl+Up", kCmNorth, "Move north"},
    {"&Controls", "&South\tCtrl+Down", kCmSouth, "Move south"},
    {"&Controls", "&East\tCtrl+Right", kCmEast, "Move east"},
    {"&Controls", "&West\tCtrl+Left", kCmWest, "Move west"},
    {"&Options", "&Want hints", kCmWantHints, nullptr},
    {"&Options", "&Multiple window seismograms", kCmMultipleWindows, nullptr},
    {"&Options", "&Seismograms in one window", kCmOneWindow, nullptr},
    {"&Options", "&Compact seismograms", kCmCompactSeismograms,
     "Shows all seismograms in one window as traces only, so that hundreds of stations fit"},
    {"&Help", "&Help Topics...", kCmHelpTopics, nullptr},
    {"&Help", "&About...", kCmAbout, "About the Orvane application"},
};

constexpr int kToolBar[] = {kCmOpenEvent, 0, kCmNorth, kCmSouth, kCmWest, kCmEast, kCmZoomIn, kCmZoomOut};

}  // namespace

std::span<const MenuEntry> MainMenu() { return kMainMenu; }
std::span<const int> ToolBarCommands() { return kToolBar; }

}  // namespace orvane
