// The options of vsthost's edit command: scripted input, screenshots, parameter
// prints and the editor's life cycle. Parsing only.
#pragma once

#include <string>
#include <vector>

#include "tools/script/InputScript.h"

namespace vsthost {

struct TimedFile {
  double time = 0.0;
  std::string path;
};

struct EditOptions {
  std::vector<inputscript::Action> actions;  // in command-line order
  std::vector<TimedFile> screenshots;
  std::vector<double> paramPrints;  // times at which every parameter is printed
  std::vector<double> windowLists;  // times at which the editor's windows are listed
  double seconds = -1.0;            // < 0: half a second after the last event, at least 1
  int reopen = 0;                   // open/close cycles after the session
  double idleRate = 30.0;           // effEditIdle calls per second
  bool audio = true;
  bool closeWithEditorOpen = false;  // effClose without effEditClose first
  bool openTwice = false;            // a second effEditOpen without closing
};

// Applies an option of the edit command that takes a value. handled is false for
// names that are not edit options; an edit option with a bad value gives false.
bool ApplyEditOption(const std::string& name, const std::string& value, EditOptions& options,
                     bool& handled, std::string& error);
// Applies a flag of the edit command; false for names that are not edit flags.
bool ApplyEditFlag(const std::string& name, EditOptions& options);

// How long the session runs: the --seconds given, else past the last event.
double SessionSeconds(const EditOptions& options);

std::string EditUsageText();

}  // namespace vsthost
