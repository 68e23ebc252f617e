// Drives the network part of tessivar on the win32 backend, for the
// end-to-end checks under Wine:
//
//   push_driver identity            prints the client strings, the station id and
//                                   whether this thread's COM apartment outlived
//                                   the adapter query
//   push_driver push ID COUNT       sends one report and prints how long it took
//   push_driver overlap ID N GAP    starts N reports GAP ms apart, each on its own
//                                   thread, and prints when each one ended
//   push_driver urls ID             opens the five service pages in the browser
//
// Every command builds the client strings and the station id the way
// start-up does, so the reports carry the real user agent.
#include <windows.h>
// After windows.h, which it needs.
#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "app/app_state.h"
#include "net/identity.h"
#include "net/push_report.h"
#include "net/service_links.h"
#include "platform/platform.h"

namespace {

// Longer than any report may take with the shipped time-outs.
constexpr ULONGLONG kOverlapDeadlineMs = 150000;

void StartLikeTheProgram() {
  platform::InitializePlatform();
  BuildVersionString();
  BeginUserAgent();
  CompleteUserAgent();
  BuildStationId();
}

int PrintIdentity() {
  std::printf("version %s\nosName %s\nagent %s\nstation %s\n", app.versionString.c_str(),
              app.osName.c_str(), app.userAgent.c_str(), app.stationId.c_str());
  // S_FALSE: the apartment start-up made is still there.
  HRESULT again = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  std::printf("apartment %s\n", again == S_FALSE ? "kept" : "ended");
  return 0;
}

int PushOnce(const std::string& networkId, int count) {
  ULONGLONG started = GetTickCount64();
  PushReport(count, networkId, app.versionString, app.userAgent);
  std::printf("ended %llu\n", GetTickCount64() - started);
  return 0;
}

int Overlap(const std::string& networkId, int reports, int gapMs) {
  ULONGLONG started = GetTickCount64();
  std::vector<std::thread> threads;
  for (int i = 0; i < reports; ++i) {
    if (i > 0) Sleep(static_cast<DWORD>(gapMs));
    threads.emplace_back([=] {
      ULONGLONG begun = GetTickCount64();
      PushReport(i + 1, networkId, app.versionString, app.userAgent);
      std::printf("report %d ended %llu\n", i + 1, GetTickCount64() - begun);
    });
  }
  // A report that never ends would hold the join forever: leave by the
  // deadline instead, which the check sees as a failure.
  std::thread watchdog([started] {
    while (GetTickCount64() - started < kOverlapDeadlineMs) Sleep(100);
    std::printf("stuck\n");
    ExitProcess(1);
  });
  watchdog.detach();
  for (std::thread& thread : threads) thread.join();
  std::printf("all ended %llu\n", GetTickCount64() - started);
  return 0;
}

int OpenServicePages(const std::string& networkId) {
  app.networkId = networkId;
  std::printf("t %s\n", SignatureTime(platform::LocalNow()).c_str());
  SetMyLocation();
  RegisterSoftware();
  ShowFullChart();
  OpenOnlineHelp();
  OpenHomePage();
  std::printf("t %s\n", SignatureTime(platform::LocalNow()).c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    std::fprintf(stderr, "usage: push_driver identity|push|overlap|urls ...\n");
    return 2;
  }
  StartLikeTheProgram();
  if (args[0] == "identity") return PrintIdentity();
  if (args[0] == "push" && args.size() == 3) return PushOnce(args[1], std::atoi(args[2].c_str()));
  if (args[0] == "overlap" && args.size() == 4) {
    return Overlap(args[1], std::atoi(args[2].c_str()), std::atoi(args[3].c_str()));
  }
  if (args[0] == "urls" && args.size() == 2) return OpenServicePages(args[1]);
  std::fprintf(stderr, "push_driver: unknown command or wrong arguments\n");
  return 2;
}
