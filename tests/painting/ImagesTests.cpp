// Images from encoded bytes in copy and stream mode, cut-out areas, parts,
// and nine-slice frames, read back pixel by pixel.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "PaintingTestAssets.h"
#include "ToolkitAssets.h"
#include "painting/PaintingSupport.h"
#include "toolkit/controls/Images.h"

namespace {

constexpr ARGB Red = 0xFFFF0000;
constexpr ARGB Blue = 0xFF0000FF;

UINT FrameCount(GpImage* image) {
    GUID dimension{};
    if (GdipImageGetFrameDimensionsList(image, &dimension, 1) != Ok) return 0;
    UINT count = 0;
    GdipImageGetFrameCount(image, &dimension, &count);
    return count;
}

TEST(ImageFromBytes, CopyModeGivesAnIndependentBitmap) {
    Surface source = SolidBitmap(12, 7, Red);
    FillArea(source, RectF(0, 0, 3, 7), Blue);
    auto bytes = std::make_unique<std::vector<unsigned char>>(EncodePng(source.bitmap.get()));
    ASSERT_FALSE(bytes->empty());
    ImageBacking backing;
    GpImage* image = ImageFromBytes(bytes->data(), bytes->size(), false, backing);
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(nullptr, backing.memory);
    EXPECT_EQ(nullptr, backing.stream);
    bytes.reset();  // the bitmap does not need them
    EXPECT_EQ(12u, ImageWidth(image));
    EXPECT_EQ(7u, ImageHeight(image));
    PixelFormat format = 0;
    GdipGetImagePixelFormat(image, &format);
    EXPECT_EQ(static_cast<PixelFormat>(PixelFormat32bppARGB), format);
    EXPECT_EQ(Blue, BitmapPixel(static_cast<GpBitmap*>(image), 1, 3));
    EXPECT_EQ(Red, BitmapPixel(static_cast<GpBitmap*>(image), 10, 3));
    ReleaseImage(image, backing);
    EXPECT_EQ(nullptr, image);
}

TEST(ImageFromBytes, StreamModeKeepsEveryFrame) {
    const EmbeddedBytes& gif = PaintingTestAssets::spinner;
    ImageBacking backing;
    GpImage* image = ImageFromBytes(gif.bytes, gif.size, false, backing, true);
    ASSERT_NE(nullptr, image);
    EXPECT_NE(nullptr, backing.memory);
    EXPECT_NE(nullptr, backing.stream);
    EXPECT_EQ(12u, FrameCount(image));
    ReleaseImage(image, backing);
    EXPECT_EQ(nullptr, image);
    EXPECT_EQ(nullptr, backing.memory);
    EXPECT_EQ(nullptr, backing.stream);

    // A copy holds the first frame only.
    GpImage* copy = ImageFromBytes(gif.bytes, gif.size, false, backing);
    ASSERT_NE(nullptr, copy);
    EXPECT_EQ(1u, FrameCount(copy));
    ReleaseImage(copy, backing);
}

TEST(ImageFromBytes, SignatureIsPutBackOnlyWhenAsked) {
    const EmbeddedBytes& sprite = ToolkitAssets::captionSprite;
    ImageBacking backing;
    GpImage* without = ImageFromBytes(sprite.bytes, sprite.size, false, backing);
    EXPECT_EQ(nullptr, without);
    GpImage* with = ImageFromBytes(sprite.bytes, sprite.size, true, backing);
    ASSERT_NE(nullptr, with);
    EXPECT_EQ(729u, ImageWidth(with));
    EXPECT_EQ(20u, ImageHeight(with));
    ReleaseImage(with, backing);
}

TEST(ImageFromBytes, NothingForEmptyOrUndecodableBytes) {
    ImageBacking backing;
    const unsigned char junk[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    EXPECT_EQ(nullptr, ImageFromBytes(nullptr, 0, false, backing));
    EXPECT_EQ(nullptr, ImageFromBytes(junk, 0, false, backing));
    EXPECT_EQ(nullptr, ImageFromBytes(junk, sizeof(junk), false, backing));
    EXPECT_EQ(nullptr, ImageFromBytes(junk, sizeof(junk), false, backing, true));
    EXPECT_EQ(nullptr, backing.memory);
    EXPECT_EQ(nullptr, backing.stream);
}

TEST(CloneImageArea, CutsTheAreaOut) {
    const EmbeddedBytes& skin = ToolkitAssets::buttonSkin;
    ImageBacking backing;
    GpImage* image = ImageFromBytes(skin.bytes, skin.size, false, backing);
    ASSERT_NE(nullptr, image);
    OwnedBitmap frame(CloneImageArea(image, RectF(14, 0, 13, 28)));
    ASSERT_TRUE(frame);
    EXPECT_EQ(13u, ImageWidth(frame.get()));
    EXPECT_EQ(28u, ImageHeight(frame.get()));
    for (int y : {0, 5, 14, 27})
        for (int x : {0, 6, 12})
            EXPECT_EQ(BitmapPixel(static_cast<GpBitmap*>(image), 14 + x, y),
                      BitmapPixel(frame.get(), x, y));
    EXPECT_EQ(nullptr, CloneImageArea(image, RectF(50, 0, 13, 28)));  // beyond the image
    EXPECT_EQ(nullptr, CloneImageArea(nullptr, RectF(0, 0, 1, 1)));
    ReleaseImage(image, backing);
}

TEST(DrawImagePart, SourceSizeDefaultsToTheImage) {
    Surface image = SolidBitmap(10, 10, Red);
    FillArea(image, RectF(5, 0, 5, 10), Blue);
    Surface target = MakeSurface(40, 20);
    GdipSetInterpolationMode(target.graphics.get(), InterpolationModeNearestNeighbor);
    GdipSetPixelOffsetMode(target.graphics.get(), PixelOffsetModeHalf);
    // Source (5, 0) without its size: 10 x 10 from x 5, half of it beyond
    // the image, drawn 1:1.
    DrawImagePart(target.graphics.get(), image.bitmap.get(), RectF(0, 0, 10, 10),
                  RectF(5, 0, 1, 1));
    EXPECT_EQ(Blue, BitmapPixel(target.bitmap.get(), 2, 5));
    EXPECT_EQ(0u, BitmapPixel(target.bitmap.get(), 7, 5) >> 24);

    // With its size, the part is stretched.
    DrawImagePart(target.graphics.get(), image.bitmap.get(), RectF(20, 0, 20, 10),
                  RectF(0, 0, 5, 10), true);
    EXPECT_EQ(Red, BitmapPixel(target.bitmap.get(), 21, 5));
    EXPECT_EQ(Red, BitmapPixel(target.bitmap.get(), 38, 5));
}

TEST(DrawImageStretched, FillsTheRectangle) {
    Surface image = SolidBitmap(4, 4, Blue);
    Surface target = MakeSurface(40, 20);
    DrawImageStretched(target.graphics.get(), image.bitmap.get(), RectF(10, 5, 20, 10));
    EXPECT_EQ(Blue, BitmapPixel(target.bitmap.get(), 20, 10));
    EXPECT_EQ(0u, BitmapPixel(target.bitmap.get(), 31, 10));
}

// A 13 x 28 frame with centre (5, 5, 3, 15): columns 5 | 3 | 5, rows
// 5 | 15 | 8, each of the nine pieces in its own colour.
class NineSliceTest : public testing::Test {
protected:
    void SetUp() override {
        const float columns[4] = {0, 5, 8, 13}, rows[4] = {0, 5, 20, 28};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                FillArea(image, RectF(columns[c], rows[r], columns[c + 1] - columns[c],
                                      rows[r + 1] - rows[r]),
                         Colour(r, c));
    }
    static ARGB Colour(int row, int column) {
        return 0xFF000000u | static_cast<ARGB>((row * 3 + column + 1) * 0x1C) << 16 |
               static_cast<ARGB>(column * 0x50) << 8 | static_cast<ARGB>(row * 0x50);
    }
    Surface image = MakeSurface(13, 28);
    Surface target = MakeSurface(120, 40);
};

TEST_F(NineSliceTest, CornersKeepTheirSizeAndEdgesStretch) {
    // Into (10, 5, 100, 30): columns 10..14 | 15..104 | 105..109, rows
    // 5..9 | 10..26 | 27..34.
    DrawImageNineSlice(target.graphics.get(), image.bitmap.get(), RectF(10, 5, 100, 30),
                       RectF(5, 5, 3, 15));
    const int xs[3][2] = {{10, 14}, {15, 104}, {105, 109}};
    const int ys[3][2] = {{5, 9}, {10, 26}, {27, 34}};
    // Corners are copied 1:1, to the pixel. Stretched pieces are checked
    // away from their stretched ends, where resampling may mix in the
    // neighbouring piece.
    auto samples = [](const int (&range)[2], bool stretched) {
        const int mid = (range[0] + range[1]) / 2;
        return stretched ? std::vector<int>{mid} : std::vector<int>{range[0], mid, range[1]};
    };
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            for (int x : samples(xs[c], c == 1))
                for (int y : samples(ys[r], r == 1))
                    EXPECT_EQ(Colour(r, c), BitmapPixel(target.bitmap.get(), x, y))
                        << "piece " << r << "," << c << " at " << x << "," << y;
    EXPECT_EQ(0u, BitmapPixel(target.bitmap.get(), 9, 20));
    EXPECT_EQ(0u, BitmapPixel(target.bitmap.get(), 110, 20));
    EXPECT_EQ(0u, BitmapPixel(target.bitmap.get(), 50, 35));
}

TEST_F(NineSliceTest, AlphaDrawsEveryPieceAtThatOpacity) {
    struct Case {
        std::optional<int> alpha;
        int expected;
    };
    for (const Case& c : {Case{std::nullopt, 255}, Case{255, 255}, Case{128, 128}, Case{0, 0}}) {
        Surface frame = MakeSurface(120, 40);
        DrawImageNineSlice(frame.graphics.get(), image.bitmap.get(), RectF(10, 5, 100, 30),
                           RectF(5, 5, 3, 15), c.alpha);
        for (int x : {12, 50, 107})
            for (int y : {7, 18, 30}) {
                int alpha = static_cast<int>(BitmapPixel(frame.bitmap.get(), x, y) >> 24);
                EXPECT_LE(std::abs(c.expected - alpha), 1) << x << "," << y;
            }
    }
}

TEST_F(NineSliceTest, NothingWithoutGraphicsOrImage) {
    DrawImageNineSlice(nullptr, image.bitmap.get(), RectF(0, 0, 50, 50), RectF(5, 5, 3, 15));
    DrawImageNineSlice(target.graphics.get(), nullptr, RectF(0, 0, 50, 50), RectF(5, 5, 3, 15));
    EXPECT_EQ(0u, BitmapPixel(target.bitmap.get(), 20, 20));
}

}  // namespace
