#include "net/tavErrorText.h"

#include <gtest/gtest.h>

#include <string>

using tavNet::ErrorText;

TEST(ErrorText, KnownCodesKeepTheirExactTextsAndOthersAreUnknown)
{
    EXPECT_STREQ(ErrorText(0), "tavNet: No error value yet.");
    EXPECT_STREQ(ErrorText(6), "tavNet: Specified event object handle is invalid.");
    EXPECT_STREQ(ErrorText(10004), "tavNet: Interrupted function call. ");
    EXPECT_STREQ(ErrorText(10058), "tavNet: Cannt send after socket shutdown.");
    EXPECT_STREQ(ErrorText(10061), "tavNet: Connection refused.");
    EXPECT_STREQ(ErrorText(10091), "tavNet: Network subsyste, is unavailable.");
    EXPECT_STREQ(ErrorText(11004), "tavNet: Valid name, no data record of requested type.");
    for (int code : {-1, 1, 10059, 10062, 11005, 12345})
        EXPECT_STREQ(ErrorText(code), "tavNet: Unknown error!") << code;
    // The table is searched by halving: all 51 codes are found only while it is sorted.
    int found = 0;
    for (int code = -10; code < 12000; ++code)
        found += std::string(ErrorText(code)) != "tavNet: Unknown error!";
    EXPECT_EQ(found, 51);
}
