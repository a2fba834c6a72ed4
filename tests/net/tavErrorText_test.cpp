#include "net/tavErrorText.h"

#include <gtest/gtest.h>

#include <string>

using tavNet::ErrorText;

TEST(ErrorText, KnownCodesKeepTheirExactTextsAndOthersAreUnknown)
{
    for (auto c : {std::make_pair(0, "No error value yet."),
                   std::make_pair(10004, "Interrupted function call. "),
                   std::make_pair(10091, "Network subsyste, is unavailable."),
                   std::make_pair(11004, "Valid name, no data record of requested type."),
                   std::make_pair(12345, "Unknown error!")})
        EXPECT_EQ(ErrorText(c.first), "tavNet: " + std::string(c.second));
    // The table is searched by halving: all 51 codes are found only while it is sorted.
    int found = 0;
    for (int code = -10; code < 12000; ++code)
        found += std::string(ErrorText(code)) != "tavNet: Unknown error!";
    EXPECT_EQ(found, 51);
}
