#include <gtest/gtest.h>

#include "server/server_config.h"

namespace varune::server {
namespace {

TEST(ServerConfigTest, ListenAddressesAndLimits) {
  TServerConfig config = ParseServerArgs({"client", "--listen", "[::1]:0", "--queue", "0", "--cache-mb", "0"});
  EXPECT_EQ(config.ClientDir, "client");
  EXPECT_EQ(config.Address, "::1");
  EXPECT_EQ(config.Port, 0);
  EXPECT_EQ(config.Queue, 0);
  EXPECT_EQ(config.CacheMb, 0);
  config = ParseServerArgs({"--listen", "0.0.0.0:9000", "client"});
  EXPECT_EQ(config.Address, "0.0.0.0");
  EXPECT_EQ(config.Port, 9000);
  EXPECT_EQ(ParseServerArgs({"client"}).Address, "127.0.0.1");
  EXPECT_EQ(ParseServerArgs({"client", "--web", "page"}).WebDir, "page");

  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{}, {"a", "b"}, {"c", "--listen", "::1:80"}, {"c", "--listen", "host:80"},
        {"c", "--listen", "127.0.0.1:65536"}, {"c", "--threads", "0"}, {"c", "--queue", "x"}, {"c", "--cors-origin"}, {"c", "--web", ""},
        {"c", "--what", "1"}})
    EXPECT_THROW(ParseServerArgs(bad), TUsageError) << (bad.empty() ? "" : bad.back());
}

}  // namespace
}  // namespace varune::server
