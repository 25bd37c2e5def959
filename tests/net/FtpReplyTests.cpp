// FTP reply lines and passive-mode addresses, without a server.
#include <gtest/gtest.h>

#include <string>

#include "downloadcontrol/net/FtpReplyParsing.h"

TEST(FtpReplyLine, CodeTextAndTheLineThatEndsAReply) {
    EXPECT_EQ(ftpReplyCode("220 Service ready"), 220);
    EXPECT_EQ(ftpReplyCode("150-Opening"), 150);
    EXPECT_EQ(ftpReplyCode("226"), 226);
    EXPECT_EQ(ftpReplyCode("22"), 0);
    EXPECT_EQ(ftpReplyCode(""), 0);
    EXPECT_EQ(ftpReplyCode("2x0 hm"), 0);
    EXPECT_EQ(ftpReplyCode("099 low"), 0);
    EXPECT_EQ(ftpReplyCode("600 high"), 0);

    EXPECT_EQ(ftpReplyText("213 1000000"), "1000000");
    EXPECT_EQ(ftpReplyText("213 "), "");
    EXPECT_EQ(ftpReplyText("213"), "") << "a line of three characters has no text";
    EXPECT_EQ(ftpReplyText("21"), "");

    EXPECT_TRUE(ftpEndsReply("220 done", 220));
    EXPECT_TRUE(ftpEndsReply("220", 220));
    EXPECT_FALSE(ftpEndsReply("220-more", 220));
    EXPECT_FALSE(ftpEndsReply("2201", 220));
    EXPECT_FALSE(ftpEndsReply("221 other code", 220));
    EXPECT_FALSE(ftpEndsReply(" 220 indented", 220));

    EXPECT_EQ(withoutLineEnd("200 ok\r\n"), "200 ok");
    EXPECT_EQ(withoutLineEnd("200 ok\n"), "200 ok");
    EXPECT_EQ(withoutLineEnd("200 ok"), "200 ok");
    EXPECT_EQ(withoutLineEnd("\r\n"), "");
}

TEST(FtpPassiveReply, SixNumbersGiveTheDataAddress) {
    PassiveAddress address;
    ASSERT_TRUE(parsePassiveReply("Entering Passive Mode (127,0,0,1,195,80).", address));
    EXPECT_EQ(address.host, "127.0.0.1");
    EXPECT_EQ(address.port, 195 * 256 + 80);

    ASSERT_TRUE(parsePassiveReply("Entering Passive Mode ( 10, 1, 2, 3, 0, 21 )", address));
    EXPECT_EQ(address.host, "10.1.2.3");
    EXPECT_EQ(address.port, 21);

    ASSERT_TRUE(parsePassiveReply("Entering Passive Mode 192,168,0,9,255,255", address)) << "no parentheses";
    EXPECT_EQ(address.host, "192.168.0.9");
    EXPECT_EQ(address.port, 65535);
}

TEST(FtpPassiveReply, MalformedAddressesAreRefused) {
    for (const char* text : {
             "Entering Passive Mode (127,0,0,1,7).",       // five numbers
             "Entering Passive Mode (127,0,0,1).",         // four
             "Entering Passive Mode (127,0,0,1,7,1,2).",   // seven
             "Entering Passive Mode (127,0,0,1,256,1).",   // a port byte above 255
             "Entering Passive Mode (127,0,0,300,4,1).",   // a host byte above 255
             "Entering Passive Mode (127,0,0,1,0,0).",     // port 0
             "Entering Passive Mode (127,0,0,1,a,b).",     // letters
             "Entering Passive Mode (127,0,0,1,-4,1).",    // a sign
             "Entering Passive Mode (127,0,0,1,0004,1).",  // four digits
             "Entering Passive Mode (127,0,0,1,4,1",       // no closing parenthesis
             "Entering Passive Mode.",                     // no numbers
             "",
         }) {
        PassiveAddress address;
        EXPECT_FALSE(parsePassiveReply(text, address)) << text;
    }
}
