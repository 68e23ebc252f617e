// The per-minute push report on the sim backend.
#include "net/push_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "net/hosts.h"
#include "platform/sim/sim.h"
#include "tests/support/scenario.h"

namespace {

TEST(PushReport, SendsOneGetAndClosesEverythingInReverse) {
  EXPECT_EQ(PushPath("A.3", "9.9", 17), "/push.php?id=A.3&v=w32_9.9&c=17");
  EXPECT_EQ(PushPath("", "9.9", -5), "/push.php?id=&v=w32_9.9&c=-5");
  sim::Reset();
  sim::SetHttpAnswerLength(2500);
  PushReport(17, "A.3", "9.9", "agent");
  const std::vector<std::string> expected = {"session agent",
                                             "timeouts 30000",
                                             std::string("connect ") + kPushHost + " 80",
                                             "request GET /push.php?id=A.3&v=w32_9.9&c=17",
                                             "send",
                                             "read 1024",
                                             "read 1024",
                                             "read 452",
                                             "read 0",
                                             "close request",
                                             "close connection",
                                             "close session"};
  EXPECT_EQ(sim::HttpCalls(), expected);
}

TEST(PushReport, AFailedStepClosesWhatWasOpened) {
  struct Case {
    const char* step;
    std::vector<std::string> tail;
  };
  const Case cases[] = {
      {"session", {"session agent failed"}},
      {"connect", {"close session"}},
      {"request", {"close connection", "close session"}},
      {"send", {"send failed", "close request", "close connection", "close session"}},
  };
  for (const Case& c : cases) {
    sim::Reset();
    sim::FailHttpStep(c.step, true);
    PushReport(1, "A.3", "9.9", "agent");
    std::vector<std::string> calls = sim::HttpCalls();
    ASSERT_GE(calls.size(), c.tail.size()) << c.step;
    EXPECT_EQ(std::vector<std::string>(calls.end() - c.tail.size(), calls.end()), c.tail) << c.step;
  }
}

TEST(PushReport, TheThreadWorksOnCopiesTakenAtTheStart) {
  scenario::StartProgram();
  app.networkId = "A.3";
  ASSERT_TRUE(StartPushReport(17));
  app.networkId = "B.5";
  sim::JoinThreads();
  std::vector<std::string> calls = sim::HttpCalls();
  ASSERT_GE(calls.size(), 4u);
  EXPECT_EQ(calls[0], "session Mozilla/4.0 (Compatible; Sim 4.51; Windows 7)");
  EXPECT_EQ(calls[3], "request GET /push.php?id=A.3&v=w32_1.1.3.1085&c=17");
}

}  // namespace
