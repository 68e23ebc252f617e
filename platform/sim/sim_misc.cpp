// sim backend: shell, sound, file dialog, threads and the program file, with
// every call recorded for the tests (sim_misc.h).
//
// [x] shell open and process start, recorded; process start can fail
// [x] sound names played, recorded
// [x] file dialog answered from a script
// [x] real threads, joinable by the tests
#include "platform/sim/sim_misc.h"

#include <deque>
#include <mutex>
#include <thread>

#include "platform/platform.h"

namespace {

struct Misc {
  std::mutex mutex;  // sounds, dialogs and threads are touched by worker threads
  std::vector<sim::ShellCall> shellOpens;
  std::vector<sim::ProcessStart> processStarts;
  bool failProcessStart = false;
  std::vector<std::string> sounds;
  std::vector<sim::DialogCall> dialogs;
  std::deque<std::string> dialogAnswers;
  std::vector<std::thread> threads;
  int threadsStarted = 0;
  bool failThreadStart = false;
  std::string programFile = "C:\\Program Files\\tessivar\\tessivar.exe";
};

Misc* misc = new Misc;  // never freed: worker threads may outlive the tests' scope

}  // namespace

namespace platform {

// Shell

bool ShellOpen(const std::string& file, const std::string& parameters,
               const std::string& directory) {
  std::lock_guard<std::mutex> hold(misc->mutex);
  misc->shellOpens.push_back(sim::ShellCall{file, parameters, directory});
  return true;
}

bool StartProcess(const std::string& commandLine, const std::string& directory) {
  std::lock_guard<std::mutex> hold(misc->mutex);
  if (misc->failProcessStart) return false;
  misc->processStarts.push_back(sim::ProcessStart{commandLine, directory});
  return true;
}

// Sound

void PlaySoundAsync(const std::string& name) {
  std::lock_guard<std::mutex> hold(misc->mutex);
  misc->sounds.push_back(name);
}

// File dialog

std::string ChooseFileToOpen(const std::string& title, const std::string& filterName,
                             const std::string& pattern, int owner) {
  std::lock_guard<std::mutex> hold(misc->mutex);
  misc->dialogs.push_back(sim::DialogCall{title, filterName, pattern, owner});
  if (misc->dialogAnswers.empty()) return {};
  std::string answer = misc->dialogAnswers.front();
  misc->dialogAnswers.pop_front();
  return answer;
}

// Threads

bool StartThread(void (*procedure)(void* argument), void* argument) {
  std::lock_guard<std::mutex> hold(misc->mutex);
  if (misc->failThreadStart) return false;
  misc->threads.emplace_back(procedure, argument);
  ++misc->threadsStarted;
  return true;
}

// Program file

std::string ProgramFilePath() {
  return misc->programFile;
}

}  // namespace platform

namespace sim {

void JoinThreads() {
  for (;;) {
    std::vector<std::thread> running;
    {
      std::lock_guard<std::mutex> hold(misc->mutex);
      running.swap(misc->threads);
    }
    if (running.empty()) return;
    for (std::thread& thread : running) thread.join();
  }
}

void ResetMisc() {
  JoinThreads();
  std::lock_guard<std::mutex> hold(misc->mutex);
  misc->shellOpens.clear();
  misc->processStarts.clear();
  misc->failProcessStart = false;
  misc->sounds.clear();
  misc->dialogs.clear();
  misc->dialogAnswers.clear();
  misc->threadsStarted = 0;
  misc->failThreadStart = false;
  misc->programFile = "C:\\Program Files\\tessivar\\tessivar.exe";
}

std::vector<ShellCall> ShellOpens() {
  std::lock_guard<std::mutex> hold(misc->mutex);
  return misc->shellOpens;
}

std::vector<ProcessStart> ProcessStarts() {
  std::lock_guard<std::mutex> hold(misc->mutex);
  return misc->processStarts;
}

void FailProcessStart(bool fail) {
  std::lock_guard<std::mutex> hold(misc->mutex);
  misc->failProcessStart = fail;
}

std::vector<std::string> PlayedSounds() {
  std::lock_guard<std::mutex> hold(misc->mutex);
  return misc->sounds;
}

std::vector<DialogCall> FileDialogs() {
  std::lock_guard<std::mutex> hold(misc->mutex);
  return misc->dialogs;
}

void AnswerFileDialog(const std::string& path) {
  std::lock_guard<std::mutex> hold(misc->mutex);
  misc->dialogAnswers.push_back(path);
}

int ThreadsStarted() {
  std::lock_guard<std::mutex> hold(misc->mutex);
  return misc->threadsStarted;
}

void FailThreadStart(bool fail) {
  std::lock_guard<std::mutex> hold(misc->mutex);
  misc->failThreadStart = fail;
}

void SetProgramFilePath(const std::string& path) {
  std::lock_guard<std::mutex> hold(misc->mutex);
  misc->programFile = path;
}

}  // namespace sim
