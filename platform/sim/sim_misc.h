// Test-facing controls of the sim backend: shell, sound, file dialog,
// threads and the program file.
#pragma once

#include <string>
#include <vector>

namespace sim {

// Puts this part of the simulated system back to its state at boot.
void ResetMisc();

// ---- Shell.
struct ShellCall {
  std::string file, parameters, directory;
};
std::vector<ShellCall> ShellOpens();
struct ProcessStart {
  std::string commandLine, directory;
};
std::vector<ProcessStart> ProcessStarts();
// Make StartProcess fail from now on (true) or succeed (false).
void FailProcessStart(bool fail);

// ---- Sound: every name given to PlaySoundAsync, in order.
std::vector<std::string> PlayedSounds();

// ---- File dialog.
struct DialogCall {
  std::string title, filterName, pattern;
  int owner = -1;
};
std::vector<DialogCall> FileDialogs();
// Answers for the next dialogs, in order: a path, or empty for cancel. With
// no answer queued a dialog is cancelled.
void AnswerFileDialog(const std::string& path);

// ---- Threads: StartThread runs each procedure on a real thread.
// Waits until every thread started so far has ended.
void JoinThreads();
int ThreadsStarted();
void FailThreadStart(bool fail);

// ---- Program file.
void SetProgramFilePath(const std::string& path);

}  // namespace sim
