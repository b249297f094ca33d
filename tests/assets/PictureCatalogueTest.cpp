#include "DecodedPicture.h"

#include "Fonts.h"
#include "Images.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

struct Entry {
    std::string name;
    const char* data;
    unsigned int size;
    unsigned int width;
    unsigned int height;
};

#define PICTURE(space, name, w, h) Entry{#name, space::name, space::name##_size, w, h}

std::vector<Entry> images()
{
    return {
        PICTURE(Images, paper2_jpg, 1024, 768), PICTURE(Images, sponsor_png, 1024, 768),
        PICTURE(Images, title_png, 1024, 768), PICTURE(Images, tick_png, 64, 64),
        PICTURE(Images, guy_png, 64, 64), PICTURE(Images, mouse_png, 64, 64), PICTURE(Images, hand_png, 64, 64),
        PICTURE(Images, embarking_png, 512, 128), PICTURE(Images, map_png, 1024, 768),
        PICTURE(Images, ship_png, 128, 128), PICTURE(Images, counter_png, 64, 64),
        PICTURE(Images, garrison_png, 64, 64), PICTURE(Images, biscuits_png, 64, 64),
        PICTURE(Images, biscuits1_png, 64, 64), PICTURE(Images, biscuits2_png, 64, 64),
        PICTURE(Images, biscuits3_png, 64, 64), PICTURE(Images, biscuits4_png, 64, 64),
        PICTURE(Images, biscuits5_png, 64, 64), PICTURE(Images, foragebutton_png, 256, 128),
        PICTURE(Images, garrisonbutton_png, 256, 128), PICTURE(Images, waitbutton_png, 256, 128),
        PICTURE(Images, ruritania_png, 256, 64), PICTURE(Images, molotavia_png, 256, 64),
        PICTURE(Images, norland_png, 256, 64), PICTURE(Images, stamark_png, 256, 64),
        PICTURE(Images, ruritaniawin_png, 1024, 128), PICTURE(Images, molotaviawin_png, 1024, 128),
        PICTURE(Images, norlandwin_png, 1024, 128), PICTURE(Images, stamarkwin_png, 1024, 128),
        PICTURE(Images, winscreen_png, 1024, 512), PICTURE(Images, drawscreen_png, 1024, 768),
        PICTURE(Images, line_png, 8, 8),
        PICTURE(Images, space0_png, 1024, 768), PICTURE(Images, space1_png, 1024, 768),
        PICTURE(Images, space2_png, 1024, 768), PICTURE(Images, space3_png, 1024, 768),
        PICTURE(Images, space4_png, 1024, 768), PICTURE(Images, space5_png, 1024, 768),
        PICTURE(Images, space6_png, 1024, 768), PICTURE(Images, space7_png, 1024, 768),
        PICTURE(Images, space8_png, 1024, 768), PICTURE(Images, space9_png, 1024, 768),
        PICTURE(Images, space10_png, 1024, 768), PICTURE(Images, space11_png, 1024, 768),
        PICTURE(Images, space12_png, 1024, 768), PICTURE(Images, space13_png, 1024, 768),
        PICTURE(Images, space14_png, 1024, 768), PICTURE(Images, space15_png, 1024, 768),
        PICTURE(Images, space16_png, 1024, 768), PICTURE(Images, space17_png, 1024, 768),
        PICTURE(Images, space18_png, 1024, 768),
    };
}

std::vector<Entry> glyphs()
{
    return {
        PICTURE(Fonts, fonta_png, 64, 64), PICTURE(Fonts, fontb_png, 64, 64), PICTURE(Fonts, fontc_png, 64, 64),
        PICTURE(Fonts, fontd_png, 64, 64), PICTURE(Fonts, fonte_png, 64, 64), PICTURE(Fonts, fontf_png, 64, 64),
        PICTURE(Fonts, fontg_png, 64, 64), PICTURE(Fonts, fonth_png, 64, 64), PICTURE(Fonts, fonti_png, 64, 64),
        PICTURE(Fonts, fontj_png, 64, 64), PICTURE(Fonts, fontk_png, 64, 64), PICTURE(Fonts, fontl_png, 64, 64),
        PICTURE(Fonts, fontm_png, 64, 64), PICTURE(Fonts, fontn_png, 64, 64), PICTURE(Fonts, fonto_png, 64, 64),
        PICTURE(Fonts, fontp_png, 64, 64), PICTURE(Fonts, fontq_png, 64, 64), PICTURE(Fonts, fontr_png, 64, 64),
        PICTURE(Fonts, fonts_png, 64, 64), PICTURE(Fonts, fontt_png, 64, 64), PICTURE(Fonts, fontu_png, 64, 64),
        PICTURE(Fonts, fontv_png, 64, 64), PICTURE(Fonts, fontw_png, 64, 64), PICTURE(Fonts, fontx_png, 64, 64),
        PICTURE(Fonts, fonty_png, 64, 64), PICTURE(Fonts, fontz_png, 64, 64), PICTURE(Fonts, font0_png, 64, 64),
        PICTURE(Fonts, font1_png, 64, 64), PICTURE(Fonts, font2_png, 64, 64), PICTURE(Fonts, font3_png, 64, 64),
        PICTURE(Fonts, font4_png, 64, 64), PICTURE(Fonts, font5_png, 64, 64), PICTURE(Fonts, font6_png, 64, 64),
        PICTURE(Fonts, font7_png, 64, 64), PICTURE(Fonts, font8_png, 64, 64), PICTURE(Fonts, font9_png, 64, 64),
        PICTURE(Fonts, fontperiod_png, 64, 64), PICTURE(Fonts, fontcomma_png, 64, 64),
        PICTURE(Fonts, fontplus_png, 64, 64), PICTURE(Fonts, fontminus_png, 64, 64),
        PICTURE(Fonts, fontexclaim_png, 64, 64), PICTURE(Fonts, fontquestion_png, 64, 64),
    };
}

#undef PICTURE

std::uint32_t bigEndian(const char* bytes)
{
    const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes);
    return (std::uint32_t(b[0]) << 24) | (std::uint32_t(b[1]) << 16) | (std::uint32_t(b[2]) << 8) | b[3];
}

bool endsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The header of a PNG file: size, 8 bits per channel, colour type 6 (RGBA), not interlaced.
void expectRgbaPng(const Entry& entry)
{
    ASSERT_GT(entry.size, 33u) << entry.name;
    EXPECT_EQ(std::string(entry.data, 8), std::string("\x89PNG\r\n\x1a\n", 8)) << entry.name;
    EXPECT_EQ(std::string(entry.data + 12, 4), "IHDR") << entry.name;
    EXPECT_EQ(bigEndian(entry.data + 16), entry.width) << entry.name;
    EXPECT_EQ(bigEndian(entry.data + 20), entry.height) << entry.name;
    EXPECT_EQ(entry.data[24], 8) << entry.name << ": bit depth";
    EXPECT_EQ(entry.data[25], 6) << entry.name << ": colour type";
    EXPECT_EQ(entry.data[28], 0) << entry.name << ": interlace";
}

// Walks the JPEG markers up to the first frame header.
void expectBaselineJfif(const Entry& entry)
{
    const unsigned char* b = reinterpret_cast<const unsigned char*>(entry.data);
    ASSERT_TRUE(b[0] == 0xFF && b[1] == 0xD8) << "no start of image";
    ASSERT_TRUE(b[2] == 0xFF && b[3] == 0xE0) << "JFIF segment must come first";
    EXPECT_EQ(std::string(entry.data + 6, 5), std::string("JFIF\0", 5));
    std::size_t at = 2;
    while (at + 9 < entry.size) {
        ASSERT_EQ(b[at], 0xFF) << "marker expected at " << at;
        const unsigned char marker = b[at + 1];
        const std::size_t length = (std::size_t(b[at + 2]) << 8) | b[at + 3];
        ASSERT_NE(marker, 0xC2) << "progressive frame";
        if (marker == 0xC0) {
            EXPECT_EQ(b[at + 4], 8) << "sample precision";
            EXPECT_EQ((unsigned(b[at + 5]) << 8) | b[at + 6], entry.height);
            EXPECT_EQ((unsigned(b[at + 7]) << 8) | b[at + 8], entry.width);
            EXPECT_EQ(b[at + 9], 3) << "components";
            return;
        }
        at += 2 + length;
    }
    FAIL() << "no baseline frame header";
}

TEST(PictureCatalogue, EveryPictureDecodesToItsSizeThroughTheLoader)
{
    for (const std::vector<Entry>& list : {images(), glyphs()})
        for (const Entry& entry : list) {
            const DecodedPicture& picture = DecodedPicture::of(entry.data, entry.size);
            ASSERT_TRUE(picture.decoded()) << entry.name;
            EXPECT_EQ(picture.width(), entry.width) << entry.name;
            EXPECT_EQ(picture.height(), entry.height) << entry.name;
        }
}

TEST(PictureCatalogue, PngsAreEightBitRgbaAndThePaperIsABaselineJfifJpeg)
{
    for (const std::vector<Entry>& list : {images(), glyphs()})
        for (const Entry& entry : list) {
            if (endsWith(entry.name, "_jpg"))
                expectBaselineJfif(entry);
            else
                expectRgbaPng(entry);
        }
}

TEST(PictureCatalogue, ThePaperIsOpaqueAndTheOverlaysUseTheirAlpha)
{
    const DecodedPicture& paper = DecodedPicture::of(Images::paper2_jpg, Images::paper2_jpg_size);
    for (int y = 0; y < 768; y += 7)
        for (int x = 0; x < 1024; x += 7)
            ASSERT_EQ(paper.alpha(x, y), 255) << x << "," << y;
    const DecodedPicture& map = DecodedPicture::of(Images::map_png, Images::map_png_size);
    EXPECT_EQ(map.alpha(0, 0), 0);
    EXPECT_EQ(map.alpha(512, 390), 0) << "the centre of a space is clear of ink";
}

TEST(PictureCatalogue, GlyphsAreWhiteLettersWithABlackOutline)
{
    for (const Entry& entry : glyphs()) {
        const DecodedPicture& glyph = DecodedPicture::of(entry.data, entry.size);
        int white = 0;
        int black = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                if (glyph.alpha(x, y) < 250)
                    continue;
                const int level = glyph.at(x, y, 0) + glyph.at(x, y, 1) + glyph.at(x, y, 2);
                white += level > 740;
                black += level < 120;
            }
        EXPECT_GT(white, 12) << entry.name;
        EXPECT_GT(black, 40) << entry.name;
        EXPECT_EQ(glyph.alpha(0, 0), 0) << entry.name;
    }
}

} // namespace
