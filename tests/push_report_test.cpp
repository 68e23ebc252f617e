// The per-minute push report on the sim backend: the request path, the
// sequence of HTTP calls, what a failing step closes, and the copies the
// report thread works on.
#include "net/push_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "net/hosts.h"
#include "platform/sim/sim.h"
#include "tests/support/scenario.h"

namespace {

using Calls = std::vector<std::string>;

std::string Connect() {
  return std::string("connect ") + kPushHost + " 80";
}

TEST(PushReport, ThePath) {
  struct Case {
    const char* networkId;
    const char* version;
    int32_t count;
    const char* path;
  };
  const Case cases[] = {
      {"A.3", "9.9", 17, "/push.php?id=A.3&v=w32_9.9&c=17"},
      {"A.3", "9.9", -5, "/push.php?id=A.3&v=w32_9.9&c=-5"},
      {"", "1.1.3.1085", 0, "/push.php?id=&v=w32_1.1.3.1085&c=0"},
      {"A.3", "9.9", INT32_MIN, "/push.php?id=A.3&v=w32_9.9&c=-2147483648"},
  };
  for (const Case& c : cases) EXPECT_EQ(PushPath(c.networkId, c.version, c.count), c.path);
}

TEST(PushReport, ALongAnswerIsReadIn1024BytePiecesToItsEnd) {
  sim::Reset();
  sim::SetHttpAnswerLength(5000);
  PushReport(17, "A.3", "9.9", "agent");
  const Calls expected = {
      "session agent",
      "timeouts 30000",
      Connect(),
      "request GET /push.php?id=A.3&v=w32_9.9&c=17",
      "send",
      "read 1024",
      "read 1024",
      "read 1024",
      "read 1024",
      "read 904",
      "read 0",
      "close request",
      "close connection",
      "close session",
  };
  EXPECT_EQ(sim::HttpCalls(), expected);
}

TEST(PushReport, AFailingStepClosesWhatWasOpenedInReverse) {
  const std::string request = "request GET /push.php?id=A.3&v=w32_9.9&c=1";
  struct Case {
    const char* step;
    Calls calls;
  };
  const Case cases[] = {
      {"session", {"session agent failed"}},
      {"connect", {"session agent", "timeouts 30000", Connect() + " failed", "close session"}},
      {"request",
       {"session agent", "timeouts 30000", Connect(), request + " failed", "close connection",
        "close session"}},
      {"send",
       {"session agent", "timeouts 30000", Connect(), request, "send failed", "close request",
        "close connection", "close session"}},
  };
  for (const Case& c : cases) {
    sim::Reset();
    sim::FailHttpStep(c.step, true);
    PushReport(1, "A.3", "9.9", "agent");
    EXPECT_EQ(sim::HttpCalls(), c.calls) << c.step;
  }
}

TEST(PushReport, TheThreadSendsTheTextsOfItsStart) {
  scenario::StartProgram();
  sim::SetHttpAnswerLength(0);
  app.networkId = "A.3";
  ASSERT_TRUE(StartPushReport(-5));
  app.networkId = "B.5";
  app.userAgent = "changed";
  app.versionString = "changed";
  sim::JoinThreads();
  const Calls expected = {
      "session Mozilla/4.0 (Compatible; Sim 4.51; Windows 7)",
      "timeouts 30000",
      Connect(),
      "request GET /push.php?id=A.3&v=w32_1.1.3.1085&c=-5",
      "send",
      "read 0",
      "close request",
      "close connection",
      "close session",
  };
  EXPECT_EQ(sim::HttpCalls(), expected);
}

TEST(PushReport, NoThreadNoReport) {
  scenario::StartProgram();
  sim::FailThreadStart(true);
  EXPECT_FALSE(StartPushReport(17));
  sim::JoinThreads();
  EXPECT_EQ(sim::HttpCalls(), Calls{});
}

}  // namespace
