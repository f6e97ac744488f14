#include "audio/message_text.h"

#include <gtest/gtest.h>

#include <string>

TEST(MessageText, BoundsByCharactersNotBytes) {
    std::string name;
    for (int i = 0; i < 250; ++i) name += "\xc3\xa5";  // 'å', two bytes
    const std::string b = bounded_utf8(name.c_str());
    EXPECT_EQ(b.size(), 2u * message_text_chars);
    EXPECT_EQ(bounded_utf8("pulse"), "pulse");
    EXPECT_EQ(bounded_utf8(nullptr), "");
    EXPECT_EQ(bounded_utf8("\xe2\x82\xac"
                           "abc",
                           2),
              "\xe2\x82\xac"
              "a");  // never cuts a character
}

TEST(MessageText, MalformedBytesBecomeReplacementCharacters) {
    EXPECT_EQ(bounded_utf8("a\xff"
                           "b"),
              "a\xef\xbf\xbd"
              "b");
    EXPECT_EQ(bounded_utf8("\xe2\x82"), "\xef\xbf\xbd\xef\xbf\xbd");  // cut sequence at the end
    EXPECT_EQ(bounded_utf8("\xc0\xaf"), "\xef\xbf\xbd\xef\xbf\xbd");  // overlong '/'
}
