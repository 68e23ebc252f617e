// Station identity, client strings, signed service links and the push
// report on the sim backend.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "app/app_state.h"
#include "app/startup.h"
#include "net/hosts.h"
#include "net/identity.h"
#include "net/push_report.h"
#include "net/service_links.h"
#include "platform/sim/sim.h"
#include "tests/support/scenario.h"
#include "ui/main_window.h"

namespace {

std::string SourceDir() {
  std::string file = __FILE__;
  return file.substr(0, file.rfind("/tests/"));
}

// SHA-1 of both icon files followed by `text`, by the system's sha1sum.
std::string Sha1sumOfKeyAnd(const std::string& text) {
  char path[] = "/tmp/tessivar-key-XXXXXX";
  int fd = mkstemp(path);
  EXPECT_GE(fd, 0);
  close(fd);
  std::ofstream out(path, std::ios::binary);
  for (const char* name : {"/res/tessivar-256.ico", "/res/tessivar-32bit.ico"}) {
    std::ifstream in(SourceDir() + name, std::ios::binary);
    out << in.rdbuf();
  }
  out << text;
  out.close();
  std::string command = std::string("sha1sum ") + path;
  FILE* pipe = popen(command.c_str(), "r");
  char digest[41] = {};
  EXPECT_EQ(std::fread(digest, 1, 40, pipe), 40u);
  pclose(pipe);
  std::remove(path);
  return digest;
}

TEST(StationId, TheSelectionRule) {
  struct Case {
    const char* what;
    std::vector<std::string> addresses;
    const char* id;
  };
  const Case cases[] = {
      {"lower case is upper-cased", {"", "00:1a:2b:3c:4d:5e"}, "2B3C4D5E"},
      {"other separators are kept", {"00-1A-2B-3C-4D-5E"}, "3C-4D-5E"},
      {"five characters or fewer are passed over", {"1:2:3", "00:11:22:33:44:55"}, "22334455"},
      {"an address starting 8A 00 is passed over", {"02:00:8A:00:12:34"}, ""},
      {"the first passing adapter wins", {"00:11:22:33:44:55", "66:77:88:99:AA:BB"}, "22334455"},
  };
  for (const Case& c : cases) {
    std::string id;
    SelectStationIdFromAddresses(c.addresses, &id);
    EXPECT_EQ(id, c.id) << c.what;
  }
  std::vector<std::string> many(101, "");
  many.push_back("00:11:22:33:44:55");
  std::string id;
  SelectStationIdFromAddresses(many, &id);
  EXPECT_EQ(id, "") << "only 101 adapters are examined";
}

TEST(StationId, FallsBackToTheSequentialUuid) {
  sim::Reset();
  sim::SetAdapterAddresses({"02:00:8A:00:12:34"});
  scenario::StartProgram();
  EXPECT_EQ(sim::AdapterLimitAsked(), 101);
  EXPECT_EQ(app.stationId, "3E123456");  // bytes 12 to 15 of the UUID

  sim::Reset();
  unsigned char uuid[16] = {};
  sim::SetSequentialUuid(uuid, false);
  RunStartup();
  EXPECT_EQ(app.stationId, "") << "no adapter and no UUID: nothing";
}

TEST(ClientStrings, VersionOsNameAndUserAgent) {
  struct Case {
    int platformId, major, minor;
    const char* osName;
  };
  const Case cases[] = {{2, 5, 1, "XP"}, {2, 6, 2, "8"}, {2, 10, 0, "2.10.0"}, {1, 4, 90, "ME"}};
  for (const Case& c : cases) {
    sim::Reset();
    sim::SetOsVersion(c.platformId, c.major, c.minor);
    BuildClientStrings();
    EXPECT_EQ(app.versionString, "1.1.3.1085");
    EXPECT_EQ(app.osName, c.osName);
    EXPECT_EQ(app.userAgent,
              std::string("Mozilla/4.0 (Compatible; Sim 4.51; Windows ") + c.osName + ")");
  }
}

TEST(SignedQuery, TimeValueChangesEvery1024Seconds) {
  EXPECT_EQ(SignatureTime(1392984063), "1360335");
  EXPECT_EQ(SignatureTime(1392984064), "1360336");
  EXPECT_EQ(SignatureTime(-1), "-1");
  EXPECT_EQ(SignatureTime(int64_t{1} << 40), "1073741824") << "past 2038 too";
}

TEST(SignedQuery, DigestOverTheIconFilesAndTheText) {
  for (const char* networkId : {"2B3C4D5E.3", ""}) {
    scenario::StartProgram();
    app.networkId = networkId;
    std::string text = std::string("v=1.1.3.1085,t=1360335,n=") + networkId;
    EXPECT_EQ(BuildSignedQuery("1360335"),
              std::string("https://") + kWebHost + "/u/post.php?n=" + networkId +
                  "&v=1.1.3.1085&t=1360335&a=" + Sha1sumOfKeyAnd(text));
  }
}

TEST(SignedQuery, WithoutADigestTheErrorPageOpens) {
  scenario::StartProgram();
  sim::FailDigest(true);
  RegisterSoftware();
  ASSERT_EQ(sim::ShellOpens().size(), 1u);
  EXPECT_EQ(sim::ShellOpens()[0].file,
            std::string("\"http://") + kErrorHost + "/u/perror.php&register=1\"");
}

TEST(ServiceLinks, MenuCommandsOpenTheirPagesInTheBrowser) {
  scenario::StartProgram();
  app.networkId = "2B3C4D5E.3";
  std::string signedUrl = BuildSignedQuery(SignatureTime(platform::LocalNow()));
  for (int id : {kMenuSetLocation, kMenuRegister, kMenuShowFullChart, kMenuOnlineHelp}) {
    sim::PushMenuCommand(id);
  }
  scenario::RunLoopTurns(0);
  std::string web = kWebHost;
  const std::vector<std::string> expected = {signedUrl, signedUrl + "&register=1",
                                             "http://" + web + "/chart/view.php?n=1:2B3C4D5E.3",
                                             "https://" + web + "/u/help/?v=1.1.3.1085"};
  std::vector<sim::ShellCall> calls = sim::ShellOpens();
  ASSERT_EQ(calls.size(), expected.size());
  for (size_t i = 0; i < calls.size(); ++i) {
    EXPECT_EQ(calls[i].file, "\"" + expected[i] + "\"");
    EXPECT_EQ(calls[i].parameters, "");
    EXPECT_EQ(calls[i].directory, "");
  }
}

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
