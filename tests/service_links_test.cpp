// The signed query and the service pages opened in the browser, on the sim
// backend. The digest is checked against the system's sha1sum over the icon
// files as they lie in the source tree.
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
#include "ui/main_window.h"

namespace {

std::string SourceDir() {
  std::string file = __FILE__;
  return file.substr(0, file.rfind("/tests/"));
}

// The 40 hex digits sha1sum gives for both icon files followed by `text`.
std::string Sha1sumOfKeyAnd(const std::string& text) {
  char path[] = "/tmp/tessivar-signing-XXXXXX";
  int fd = mkstemp(path);
  if (fd < 0) {
    ADD_FAILURE() << "no temp file";
    return "";
  }
  close(fd);
  {
    std::ofstream out(path, std::ios::binary);
    for (const char* name : {"/res/tessivar-256.ico", "/res/tessivar-32bit.ico"}) {
      std::ifstream in(SourceDir() + name, std::ios::binary);
      EXPECT_TRUE(in.good()) << name;
      out << in.rdbuf();
    }
    out << text;
  }
  std::string command = std::string("sha1sum ") + path;
  FILE* pipe = popen(command.c_str(), "r");
  char digest[41] = {};
  if (pipe == nullptr || std::fread(digest, 1, 40, pipe) != 40) ADD_FAILURE() << "sha1sum";
  if (pipe != nullptr) pclose(pipe);
  std::remove(path);
  return digest;
}

std::string Web() {
  return kWebHost;
}

std::string Quoted(const std::string& url) {
  return "\"" + url + "\"";
}

// The files handed to the shell, checking that each goes with empty
// parameters and directory.
std::vector<std::string> OpenedFiles() {
  std::vector<std::string> files;
  for (const sim::ShellCall& call : sim::ShellOpens()) {
    EXPECT_EQ(call.parameters, "") << call.file;
    EXPECT_EQ(call.directory, "") << call.file;
    files.push_back(call.file);
  }
  return files;
}

TEST(SignedQuery, TheTimeValueIsTheDateValueOver1024Floored) {
  struct Case {
    int64_t dateValue;
    const char* t;
  };
  const Case cases[] = {
      {1392984063, "1360335"}, {1392984064, "1360336"},     {0, "0"},
      {1023, "0"},             {-1, "-1"},                  {-1024, "-1"},
      {-1025, "-2"},           {int64_t{1} << 40, "1073741824"},
  };
  for (const Case& c : cases) EXPECT_EQ(SignatureTime(c.dateValue), c.t) << c.dateValue;
}

TEST(SignedQuery, TheDigestCoversBothIconFilesAndTheSignedText) {
  for (const char* networkId : {"2B3C4D5E.3", ""}) {
    scenario::StartProgram();
    app.networkId = networkId;
    std::string digest = Sha1sumOfKeyAnd(std::string("v=1.1.3.1085,t=1360335,n=") + networkId);
    ASSERT_EQ(digest.size(), 40u);
    EXPECT_EQ(BuildSignedQuery("1360335"),
              "https://" + Web() + "/u/post.php?n=" + networkId +
                  "&v=1.1.3.1085&t=1360335&a=" + digest)
        << "network id '" << networkId << "'";
  }
}

TEST(SignedQuery, TheDigestFollowsEveryInput) {
  scenario::StartProgram();
  app.networkId = "2B3C4D5E.3";
  std::string base = BuildSignedQuery("1360335");
  EXPECT_EQ(BuildSignedQuery("1360335"), base);
  auto digestOf = [](const std::string& url) { return url.substr(url.rfind("&a=") + 3); };
  EXPECT_NE(digestOf(BuildSignedQuery("1360336")), digestOf(base)) << "t";
  app.networkId = "2B3C4D5E.4";
  EXPECT_NE(digestOf(BuildSignedQuery("1360335")), digestOf(base)) << "network id";
  app.networkId = "2B3C4D5E.3";
  app.versionString = "1.1.3.1086";
  EXPECT_NE(digestOf(BuildSignedQuery("1360335")), digestOf(base)) << "version";
}

TEST(SignedQuery, WithoutADigestTheErrorPageOpens) {
  scenario::StartProgram();
  app.networkId = "2B3C4D5E.3";
  sim::FailDigest(true);
  std::string errorPage = std::string("http://") + kErrorHost + "/u/perror.php";
  EXPECT_EQ(BuildSignedQuery("1360335"), errorPage);
  SetMyLocation();
  RegisterSoftware();
  EXPECT_EQ(OpenedFiles(), (std::vector<std::string>{Quoted(errorPage),
                                                     Quoted(errorPage + "&register=1")}));
}

TEST(ServiceLinks, EachCommandOpensItsPage) {
  for (const char* networkId : {"2B3C4D5E.3", ""}) {
    scenario::StartProgram();
    sim::SetLocalNow(1392984063);
    app.networkId = networkId;
    std::string signedUrl = BuildSignedQuery("1360335");
    SetMyLocation();
    RegisterSoftware();
    ShowFullChart();
    OpenOnlineHelp();
    OpenHomePage();
    sim::SetLocalNow(1392984064);
    SetMyLocation();
    const std::vector<std::string> expected = {
        Quoted(signedUrl),
        Quoted(signedUrl + "&register=1"),
        Quoted("http://" + Web() + "/chart/view.php?n=1:" + networkId),
        Quoted("https://" + Web() + "/u/help/?v=1.1.3.1085"),
        Quoted("http://" + Web() + "/"),
        Quoted(BuildSignedQuery("1360336")),
    };
    EXPECT_EQ(OpenedFiles(), expected) << "network id '" << networkId << "'";
  }
}

TEST(ServiceLinks, MenuCommandsThroughTheEventLoop) {
  scenario::StartProgram();
  // At the start of a 1024-second window, so the loop's waits cannot move t.
  sim::SetLocalNow(1392984064);
  app.networkId = "2B3C4D5E.3";
  std::string signedUrl = BuildSignedQuery("1360336");
  for (int id : {kMenuShowFullChart, kMenuRegister, kMenuSetLocation, kMenuOnlineHelp}) {
    sim::PushMenuCommand(id);
  }
  scenario::RunLoopTurns(0);
  const std::vector<std::string> expected = {
      Quoted("http://" + Web() + "/chart/view.php?n=1:2B3C4D5E.3"),
      Quoted(signedUrl + "&register=1"),
      Quoted(signedUrl),
      Quoted("https://" + Web() + "/u/help/?v=1.1.3.1085"),
  };
  EXPECT_EQ(OpenedFiles(), expected);
}

}  // namespace
