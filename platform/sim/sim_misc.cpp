// sim backend: placeholder definitions, replaced by the real ones.
#include "platform/platform.h"

#include "platform/sim/sim_misc.h"

namespace platform {

// Shell

bool ShellOpen(const std::string& file, const std::string& parameters, const std::string& directory) {
  (void)file; (void)parameters; (void)directory;
  return false;
}

bool StartProcess(const std::string& commandLine, const std::string& directory) {
  (void)commandLine; (void)directory;
  return false;
}

// Sound

void PlaySoundAsync(const std::string& name) {
  (void)name;
}

// File dialog

std::string ChooseFileToOpen(const std::string& title, const std::string& filterName, const std::string& pattern, int owner) {
  (void)title; (void)filterName; (void)pattern; (void)owner;
  return {};
}

// Threads

bool StartThread(void (*procedure)(void* argument), void* argument) {
  (void)procedure; (void)argument;
  return false;
}

// Program file

std::string ProgramFilePath() {
  return {};
}

}  // namespace platform

namespace sim {

void ResetMisc() {}

}  // namespace sim
