// `vexa index` through a server: a host/port:path connection string, the
// user and password from the environment as Firebird's tools take them, and
// the server's own refusal of a wrong password.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "firebird_server.h"
#include "test_configurations.h"

namespace vexa::firebird {
namespace {

TEST(VexaIndexThroughServer, TakesTheUserFromTheEnvironmentAndPrintsTheServersRefusal) {
  const ServedDatabase database(DemoConfiguration(), {"WIN1251", SegmentIndexScripts()});
  // isql's command line names the user, the password and the connection string.
  const std::vector<std::string> isql = database.IsqlCommand("unused.sql");
  const std::string& user = isql.at(3);
  const std::string& password = isql.at(5);
  const std::string& served = isql.back();
  ASSERT_NE(served.find('/'), std::string::npos) << served;

  Environment environment = database.ClientEnvironment();
  environment.emplace_back("ISC_USER", user);
  environment.emplace_back("ISC_PASSWORD", password);
  const ProcessOutput listed = RunProcess({VEXA_TOOL_PATH, "index", served}, environment, std::chrono::seconds(120));
  EXPECT_EQ(listed.exitCode, 0) << listed.err;
  EXPECT_NE(listed.out.find("index DEFAULT\n  table none"), std::string::npos) << listed.out;

  const ProcessOutput refused = RunProcess({VEXA_TOOL_PATH, "index", "--password", password + "x", served},
                                           environment, std::chrono::seconds(120));
  EXPECT_EQ(refused.exitCode, 6);
  EXPECT_EQ(refused.out, "");
  EXPECT_NE(refused.err.find("password"), std::string::npos) << "the server's own message: " << refused.err;
}

}  // namespace
}  // namespace vexa::firebird
