#pragma once
// The main menu as one table: popup, item text, command id and the hint the
// status bar shows while the item is highlighted. The frame builds its menus,
// tool bar and check marks from it.

#include <span>

namespace orvane {

/// Command ids of the main menu.
enum CommandId : int {
  kCmOpenEvent = 24332,
  kCmCloseEvent = 11843,
  kCmPrintPreview = 24340,
  kCmPrint = 24337,
  kCmPrintSetup = 24338,
  kCmExit = 24310,
  kCmSetDepth = 11842,
  kCmMaximumRms = 11847,
  kCmZoomIn = 25007,
  kCmZoomOut = 25006,
  kCmNorth = 25003,
  kCmSouth = 25004,
  kCmEast = 25002,
  kCmWest = 25001,
  kCmWantHints = 11846,
  kCmMultipleWindows = 11845,
  kCmOneWindow = 11844,
  kCmHelpTopics = 11848,
  kCmAbout = 2009,
  kCmShowMisfit = 11849,  ///< Options: the misfit map, for teachers (not in the table: off, not stored)
  kCmOpenExercise = 11850,
  kCmSaveExercise = 11851,
  kCmSaveExerciseAs = 11852,
  kCmExportTrials = 11853,
  // Options > Earth model, one item per model in the order of kEarthModels
  // (not in the table: a submenu of radio items).
  kCmModelIasp91 = 11854,
  kCmModelAk135 = 11855,
  kCmModelJB = 11856,
  kCmShowAnswerKey = 11857,  ///< Options: the answer key alone, for teachers (not in the table)
};

struct MenuEntry {
  const char* popup;  ///< the popup it belongs to, e.g. "&File"
  const char* text;   ///< the item's text; null for a separator
  int id;             ///< the command id; 0 for a separator
  const char* hint;   ///< the status-bar hint; null for none
};

/// @brief The whole main menu in order, separators included. Within a popup no
/// two items share a mnemonic (the letter after "&"), so Alt and the letter
/// always reach one item.
std::span<const MenuEntry> MainMenu();

/// @brief The tool bar's commands, left to right; 0 stands for a separator.
std::span<const int> ToolBarCommands();

}  // namespace orvane
