// The simulator host check's rule over the two forms of the host's
// connection table: Windows' "netstat -a -n" listing and Linux's kernel
// table. Plain text in, decision out, on every platform.
#include <gtest/gtest.h>

#include "vantor/server/ConnectionTable.h"

#include <string>

using namespace vantor::server;

namespace {

// "netstat -a -n" on a Windows host as it prints it: a blank line, the title,
// a blank line, the column heads, then one line per socket, CR LF ended.
// UDP sockets have no state column.
std::string Listing(const std::string& socketLines) {
  return "\r\nActive Connections\r\n\r\n"
         "  Proto  Local Address          Foreign Address        State\r\n"
         "  TCP    0.0.0.0:135            0.0.0.0:0              LISTENING\r\n"
         "  TCP    0.0.0.0:445            0.0.0.0:0              LISTENING\r\n"
         "  TCP    0.0.0.0:10310          0.0.0.0:0              LISTENING\r\n"
         "  TCP    0.0.0.0:10311          0.0.0.0:0              LISTENING\r\n"
         "  TCP    127.0.0.1:10311        127.0.0.1:49702        ESTABLISHED\r\n"
         "  TCP    127.0.0.1:49702        127.0.0.1:10311        ESTABLISHED\r\n"
         "  TCP    192.168.1.20:49688     93.184.216.34:443      TIME_WAIT\r\n" +
         socketLines +
         "  TCP    [::]:135               [::]:0                 LISTENING\r\n"
         "  UDP    0.0.0.0:500            *:*                    \r\n"
         "  UDP    [::]:500               *:*                    \r\n";
}

bool AcceptsWithListing(const std::string& listing, std::uint16_t port = kSimulatorMultiplayerPort) {
  SimulatorPortState state;
  ScanNetstatListing(listing, port, state);
  return SimulatorHostDecision(state);
}

const char* kKernelHeader =
    "  sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  timeout inode\n";

// 10308 = 0x2844
std::string KernelLine(const char* local, const char* remote, const char* state) {
  return std::string("   0: ") + local + " " + remote + " " + state +
         " 00000000:00000000 00:00000000 00000000  1000        0 12345 1 0000000000000000 100 0 0 10 0\n";
}

bool AcceptsWithKernelTable(const std::string& table) {
  SimulatorPortState state;
  ScanKernelTcpTable(table, kSimulatorMultiplayerPort, state);
  return SimulatorHostDecision(state);
}

}  // namespace

TEST(NetstatListing, SimulatorNotOnTheNetworkIsAccepted) {
  EXPECT_TRUE(AcceptsWithListing(Listing("")));
  EXPECT_TRUE(AcceptsWithListing(""));
  // Only a UDP socket on the port, as a simulator in its menus may hold.
  EXPECT_TRUE(AcceptsWithListing(Listing("  UDP    0.0.0.0:10308          *:*                    \r\n")));
}

TEST(NetstatListing, SimulatorJoinedAnotherHostIsRefused) {
  const std::string joined = "  TCP    192.168.1.20:49731     192.168.1.40:10308     ESTABLISHED\r\n";
  EXPECT_FALSE(AcceptsWithListing(Listing(joined)));
  // The same over IPv6, and with the last line of the listing not ended.
  EXPECT_FALSE(AcceptsWithListing(Listing("  TCP    [fe80::1c2a:9b]:49731  [fe80::77e1:4]:10308   ESTABLISHED\r\n")));
  EXPECT_FALSE(AcceptsWithListing("  TCP    10.0.0.5:50000    10.0.0.9:10308    ESTABLISHED"));
}

TEST(NetstatListing, HostingWithPlayersConnectedIsAccepted) {
  const std::string hosting =
      "  TCP    0.0.0.0:10308          0.0.0.0:0              LISTENING\r\n"
      "  TCP    192.168.1.20:10308     192.168.1.41:50112     ESTABLISHED\r\n"
      "  TCP    192.168.1.20:10308     192.168.1.42:50877     ESTABLISHED\r\n";
  EXPECT_TRUE(AcceptsWithListing(Listing(hosting)));
  // Listening over IPv6 only counts as hosting too; the order does not matter.
  EXPECT_TRUE(
      AcceptsWithListing(Listing("  TCP    192.168.1.20:49731     192.168.1.40:10308     ESTABLISHED\r\n"
                                 "  TCP    [::]:10308             [::]:0                 LISTENING\r\n")));
}

TEST(NetstatListing, OtherStatesAndOtherPortsCountForNothing) {
  EXPECT_TRUE(
      AcceptsWithListing(Listing("  TCP    192.168.1.20:49731     192.168.1.40:10308     TIME_WAIT\r\n"
                                 "  TCP    192.168.1.20:49733     192.168.1.40:10308     SYN_SENT\r\n"
                                 "  TCP    192.168.1.20:49735     192.168.1.40:10308     CLOSE_WAIT\r\n")));
  // A connection to port 10309 is not one to 10308.
  EXPECT_TRUE(AcceptsWithListing(Listing("  TCP    192.168.1.20:49731     192.168.1.40:10309     ESTABLISHED\r\n")));
  // The port is matched whole: port 1030 is not found in ":10308".
  const std::string onOtherPort = Listing("  TCP    192.168.1.20:49731     192.168.1.40:10308     ESTABLISHED\r\n");
  EXPECT_TRUE(AcceptsWithListing(onOtherPort, 1030));
  EXPECT_FALSE(AcceptsWithListing(onOtherPort, 10308));
  EXPECT_FALSE(AcceptsWithListing(onOtherPort, 49731)) << "the local port counts as well";
}

TEST(KernelTcpTable, SameRuleOverTheKernelTable) {
  const std::string other = KernelLine("0100007F:0CEA", "0100007F:D431", "01");
  EXPECT_TRUE(AcceptsWithKernelTable(std::string(kKernelHeader)));
  EXPECT_TRUE(AcceptsWithKernelTable(kKernelHeader + other));
  // Joined someone else's mission: established on the remote port 10308.
  const std::string joined = KernelLine("0A00000F:C350", "0A000001:2844", "01");
  EXPECT_FALSE(AcceptsWithKernelTable(kKernelHeader + other + joined));
  // Hosting: listening on 10308, with players connected to it.
  const std::string listening = KernelLine("00000000:2844", "00000000:0000", "0A");
  const std::string player = KernelLine("0A00000F:2844", "0A000002:E001", "01");
  EXPECT_TRUE(AcceptsWithKernelTable(kKernelHeader + listening + player));
  EXPECT_TRUE(AcceptsWithKernelTable(kKernelHeader + joined + listening));
  // Other states on the port count for nothing.
  EXPECT_TRUE(AcceptsWithKernelTable(kKernelHeader + KernelLine("0A00000F:C350", "0A000001:2844", "06")));
  // tcp6 lines carry 32-digit addresses.
  EXPECT_FALSE(AcceptsWithKernelTable(kKernelHeader + KernelLine("00000000000000000000000001000000:C350",
                                                                 "00000000000000000000000001000000:2844", "01")));
  // Port 0x28440 is not 10308, nor is a garbled field.
  EXPECT_TRUE(AcceptsWithKernelTable(kKernelHeader + KernelLine("0A00000F:28440", "0A000001:XYZ", "01")));
}
