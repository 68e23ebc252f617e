// The signed query and the service pages opened in the browser, on the sim
// backend.
#include "net/service_links.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "net/hosts.h"
#include "platform/sim/sim.h"
#include "tests/support/scenario.h"
#include "ui/about_help.h"
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
  SetMyLocation();
  RegisterSoftware();
  std::string errorPage = std::string("http://") + kErrorHost + "/u/perror.php";
  ASSERT_EQ(sim::ShellOpens().size(), 2u);
  EXPECT_EQ(sim::ShellOpens()[0].file, "\"" + errorPage + "\"");
  EXPECT_EQ(sim::ShellOpens()[1].file, "\"" + errorPage + "&register=1\"");
}

TEST(ServiceLinks, MenuCommandsAndTheAboutLinkOpenTheirPages) {
  for (const char* networkId : {"2B3C4D5E.3", ""}) {
    scenario::StartProgram();
    sim::SetLocalNow(1392984063);
    app.networkId = networkId;
    for (int id : {kMenuSetLocation, kMenuRegister, kMenuShowFullChart, kMenuOnlineHelp}) {
      sim::PushMenuCommand(id);
    }
    sim::PushControlEvent(kAboutLink);
    scenario::RunLoopTurns(0);
    std::string web = kWebHost;
    std::string signedUrl = BuildSignedQuery("1360335");
    const std::vector<std::string> expected = {
        signedUrl, signedUrl + "&register=1", "http://" + web + "/chart/view.php?n=1:" + networkId,
        "https://" + web + "/u/help/?v=1.1.3.1085", "http://" + web + "/"};
    std::vector<sim::ShellCall> calls = sim::ShellOpens();
    ASSERT_EQ(calls.size(), expected.size()) << networkId;
    for (size_t i = 0; i < calls.size(); ++i) {
      EXPECT_EQ(calls[i].file, "\"" + expected[i] + "\"") << networkId;
      EXPECT_EQ(calls[i].parameters, "");
      EXPECT_EQ(calls[i].directory, "");
    }
  }
}

}  // namespace
