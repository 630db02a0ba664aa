#include "app/FileKind.h"

#include <gtest/gtest.h>

namespace {

TEST(FileKind, EveryVideoExtensionInAnyAsciiCase)
{
    for (const char16_t* name : {u"a.3g2", u"a.3gp",  u"a.3gpp",  u"a.asf", u"a.avi", u"a.dat",    u"a.divx",  u"a.dv",
                                 u"a.f4v", u"a.flv",  u"a.m2ts",  u"a.m4v", u"a.mkv", u"a.mod",    u"a.mov",   u"a.mp4",
                                 u"a.mpe", u"a.mpeg", u"a.mpeg4", u"a.mpg", u"a.mts", u"a.nsv",    u"a.ogm",   u"a.ogv",
                                 u"a.qt",  u"a.tod",  u"a.ts",    u"a.vob", u"a.wmv", u"CLIP.MOV", u"clip.Mp4"}) {
        EXPECT_TRUE(IsVideoFile(name)) << std::u16string_view(name).size();
        EXPECT_FALSE(IsGifFile(name));
    }
}

TEST(FileKind, GifInAnyCaseAndStillImagesAreNeither)
{
    EXPECT_TRUE(IsGifFile(u"anim.GIF"));
    EXPECT_TRUE(IsGifFile(u"anim.Gif"));
    EXPECT_FALSE(IsVideoFile(u"anim.gif"));
    for (const char16_t* name : {u"photo.png", u"photo.jpeg", u"photo.bmp", u"photo", u"photo.", u"photo.gifx",
                                 u"photo.mp", u"photo.mov.jpg", u"", u"clip.AV\u0130"}) {
        EXPECT_FALSE(IsVideoFile(name));
        EXPECT_FALSE(IsGifFile(name));
    }
}

TEST(FileKind, TheExtensionComesFromTheLastComponentWithEitherSeparator)
{
    EXPECT_EQ(FileExtension(u"/home/booth/clip.mov"), u"mov");
    EXPECT_EQ(FileExtension(u"C:\\Booth\\clip.tar.mov"), u"mov");
    EXPECT_EQ(FileExtension(u"/home/my.videos/clip"), u"");
    EXPECT_EQ(FileExtension(u"C:\\my.mov\\clip"), u"");
    EXPECT_EQ(FileExtension(u"C:/mixed\\dir.x/clip.avi"), u"avi");
    EXPECT_TRUE(IsVideoFile(u"/home/booth/.mov"));
    EXPECT_FALSE(IsVideoFile(u"/home/booth.mov/"));
}

}  // namespace
