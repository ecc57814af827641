// The GIF frame scanner, THTMLPicture's loading, frames and animation, the
// picture cache and the picture container.
#include "gridpack/basegrid/PictureContainer.h"
// The drop-downs' items live in the same library: both item kinds must be
// distinct classes, which including both headers here checks as well.
#include "gridpack/dropdown/ExDetailDropDown.h"
#include "gridpack/dropdown/ExImagePicker.h"

#include "platform/core/Files.h"
#include "platform/graphics/Resources.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString Fixture(const char* name) { return QString(KAL_TEST_DIR) + QLatin1Char('/') + QLatin1String(name); }
QByteArray FixtureBytes(const char* name) { return ReadFileWhole(Fixture(name)); }

// A 24-bit BMP file of the given size in one colour.
QByteArray BmpBytes(int w, int h, TColor c) {
    TBitmap bmp(w, h);
    bmp.Canvas()->Brush().SetColor(c);
    bmp.Canvas()->FillRect(Rect(0, 0, w, h));
    return bmp.SaveToBytes();
}

TColor PixelOf(const QImage& img, int x, int y) {
    const QRgb p = img.pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

} // namespace

// --- the scanner ----------------------------------------------------------------

TEST(GifFrames, ThreeFramesWithTheirDelaysAndDescriptors) {
    const QByteArray gif = FixtureBytes("anim3.gif");
    ASSERT_TRUE(GifFrames::IsGIF(gif));
    const auto frames = GifFrames::ScanFrames(gif);
    ASSERT_EQ(frames.size(), 3u);
    struct {
        int Delay, Left, Top, Width, Height;
    } const expected[] = {{10, 0, 0, 8, 6}, {20, 2, 1, 4, 3}, {30, 1, 2, 3, 2}};
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(uint8_t(gif[frames[i].Start]), 0x21);
        EXPECT_EQ(frames[i].Delay, expected[i].Delay);
        EXPECT_EQ(frames[i].Left, expected[i].Left);
        EXPECT_EQ(frames[i].Top, expected[i].Top);
        EXPECT_EQ(frames[i].Width, expected[i].Width);
        EXPECT_EQ(frames[i].Height, expected[i].Height);
    }
    uint16_t w = 0, h = 0;
    GifFrames::ScreenSize(gif, w, h);
    EXPECT_EQ(w, 8);
    EXPECT_EQ(h, 6);
}

TEST(GifFrames, AFrameWhoseDescriptorRunsPastTheDataIsNotCounted) {
    const QByteArray gif = FixtureBytes("anim3.gif");
    const int third = GifFrames::ScanFrames(gif)[2].Start;
    // Cut inside the third frame's descriptor (it needs 17 bytes), then just
    // after it.
    EXPECT_EQ(GifFrames::ScanFrames(gif.left(third + 16)).size(), 2u);
    EXPECT_EQ(GifFrames::ScanFrames(gif.left(third + 17)).size(), 3u);
    EXPECT_EQ(GifFrames::ScanFrames(gif.left(third + 9)).size(), 2u);
}

TEST(GifFrames, ShortDataHasNoScreenSizeAndNoFrames) {
    for (const char* bytes : {"", "GIF8", "GIF89a\x08\x00\x06"}) {
        SCOPED_TRACE(bytes);
        const QByteArray d(bytes);
        uint16_t w = 1, h = 1;
        GifFrames::ScreenSize(d, w, h);
        EXPECT_EQ(w, 0);
        EXPECT_EQ(h, 0);
        EXPECT_TRUE(GifFrames::ScanFrames(d).empty());
    }
    EXPECT_FALSE(GifFrames::IsGIF(QByteArray("GIF8")));
    EXPECT_TRUE(GifFrames::IsGIF(QByteArray("GIF8x")));
}

TEST(GifFrames, DataFromAFrameLeavesOutTheFramesBeforeIt) {
    const QByteArray gif = FixtureBytes("anim3.gif");
    const auto frames = GifFrames::ScanFrames(gif);
    EXPECT_EQ(GifFrames::DataFromFrame(gif, frames, 1), gif);
    const QByteArray from2 = GifFrames::DataFromFrame(gif, frames, 2);
    EXPECT_EQ(from2, gif.left(frames[0].Start) + gif.mid(frames[1].Start));
    // A frame past the last keeps only the header.
    EXPECT_EQ(GifFrames::DataFromFrame(gif, frames, 4), gif.left(frames[0].Start));
}

// --- THTMLPicture -----------------------------------------------------------------

TEST(HTMLPicture, ANewPictureIsEmptyAndDrawsNothing) {
    THTMLPicture pic;
    EXPECT_TRUE(pic.Empty());
    EXPECT_EQ(pic.Width(), 0);
    EXPECT_EQ(pic.MaxWidth(), 0);
    EXPECT_EQ(pic.Frame(), 1);
    EXPECT_TRUE(pic.Asynch());
    EXPECT_EQ(pic.FrameCount(), -1);
}

TEST(HTMLPicture, AThreeFrameGifReportsItsFramesAndSize) {
    THTMLPicture pic;
    pic.LoadFromFile(Fixture("anim3.gif"));
    ASSERT_FALSE(pic.Empty());
    EXPECT_TRUE(pic.IsGIF());
    EXPECT_EQ(pic.FrameCount(), 3);
    EXPECT_EQ(pic.GetFrameTime(1), 10);
    EXPECT_EQ(pic.GetFrameTime(3), 30);
    EXPECT_EQ(pic.GetFrameTime(4), -1);
    EXPECT_EQ(pic.GetFrameTime(0), -1);
    EXPECT_EQ(pic.MaxWidth(), 8);
    EXPECT_EQ(pic.MaxHeight(), 6);
    EXPECT_EQ(PixelOf(pic.ToImage(), 0, 0), clRed);
}

TEST(HTMLPicture, SelectingAFrameDecodesFromItAndTakesItsPosition) {
    THTMLPicture pic;
    pic.LoadFromFile(Fixture("anim3.gif"));
    int changes = 0;
    pic.OnFrameChange = [&](TObject*) { ++changes; };
    pic.SetFrame(2);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(pic.FrameXPos(), 2);
    EXPECT_EQ(pic.FrameYPos(), 1);
    EXPECT_EQ(pic.FrameXSize(), 4);
    EXPECT_EQ(pic.FrameYSize(), 3);
    ASSERT_FALSE(pic.Empty());
    // The decoder now shows frame 2 (green) first; frame 1's red is gone.
    const QImage img = pic.ToImage();
    bool green = false, red = false;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            if (qAlpha(img.pixel(x, y)) == 0) continue;
            green |= PixelOf(img, x, y) == clLime;
            red |= PixelOf(img, x, y) == clRed;
        }
    EXPECT_TRUE(green);
    EXPECT_FALSE(red);
}

TEST(HTMLPicture, FrameNextAndPrevWrapAround) {
    THTMLPicture pic;
    pic.LoadFromFile(Fixture("anim3.gif"));
    pic.SetFrame(3);
    pic.FrameNext();
    EXPECT_EQ(pic.Frame(), 1);
    pic.FramePrev();
    EXPECT_EQ(pic.Frame(), 3);
    pic.FramePrev();
    EXPECT_EQ(pic.Frame(), 2);
}

TEST(HTMLPicture, StepAdvancesWhenTheFramesDelayIsDue) {
    THTMLPicture pic;
    pic.LoadFromFile(Fixture("anim3.gif"));
    // Nothing moves before the frames were counted.
    EXPECT_FALSE(pic.Step());
    ASSERT_EQ(pic.FrameCount(), 3);
    // Delays 10 and 20 hundredths; one tick is a tenth of a second and the
    // tick count starts at -1.
    const bool expected[] = {false, false, true, false, true, false, false};
    const int frames[] = {1, 1, 2, 2, 3, 3, 3};
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(pic.Step(), expected[i]);
        EXPECT_EQ(pic.Frame(), frames[i]);
    }
}

TEST(HTMLPicture, OtherPicturesHaveNoFramesAndNeverStep) {
    THTMLPicture pic;
    pic.LoadFromBytes(BmpBytes(6, 4, clBlue));
    EXPECT_FALSE(pic.Empty());
    EXPECT_EQ(pic.Width(), 6);
    EXPECT_EQ(pic.Height(), 4);
    EXPECT_EQ(pic.MaxWidth(), 6);
    EXPECT_EQ(pic.FrameCount(), -1);
    EXPECT_EQ(pic.GetFrameTime(1), -1);
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(pic.Step());
    pic.SetWidth(100);
    pic.SetHeight(100);
    EXPECT_EQ(pic.Width(), 6);
}

TEST(HTMLPicture, FailedLoadsLeaveThePictureEmpty) {
    QTemporaryDir dir;
    const QString junk = dir.filePath("junk.gif");
    WriteFileWhole(junk, "GIF89a not really a picture");
    struct {
        const char* What;
        QString Path;
    } const cases[] = {{"missing file", dir.filePath("missing.png")}, {"undecodable file", junk}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        THTMLPicture pic;
        int changes = 0;
        pic.OnChange = [&](TGraphicsObject*) { ++changes; };
        EXPECT_NO_THROW(pic.LoadFromFile(c.Path));
        EXPECT_TRUE(pic.Empty());
        EXPECT_EQ(pic.Width(), 0);
        EXPECT_EQ(changes, 0);
    }
    // Loading from data reports the failure, and the picture is empty too.
    THTMLPicture pic;
    pic.LoadFromBytes(BmpBytes(2, 2, clRed));
    EXPECT_THROW(pic.LoadFromBytes("not a picture"), EInvalidGraphic);
    EXPECT_TRUE(pic.Empty());
}

TEST(HTMLPicture, AddressesLoadFilesAndResourcesOnly) {
    QTemporaryDir dir;
    const QString path = dir.filePath("pic.bmp");
    WriteFileWhole(path, BmpBytes(3, 2, clGreen));

    THTMLPicture file;
    file.LoadFromURL("file://" + path);
    EXPECT_FALSE(file.Empty());
    EXPECT_EQ(file.Width(), 3);
    EXPECT_EQ(file.ID(), "file://" + path);

    THTMLPicture bare;
    bare.LoadFromURL("FILE://");
    EXPECT_TRUE(bare.Empty());
    EXPECT_EQ(bare.ID(), "FILE://");

    RegisterResourceImage("TEST_HTMLPIC", QImage(5, 7, QImage::Format_RGB32));
    THTMLPicture res;
    res.LoadFromURL("res://TEST_HTMLPIC");
    EXPECT_FALSE(res.Empty());
    EXPECT_EQ(res.Height(), 7);
    THTMLPicture none;
    none.LoadFromURL("RES://NO_SUCH_PICTURE_NAME");
    EXPECT_TRUE(none.Empty());
    EXPECT_EQ(none.ID(), "RES://NO_SUCH_PICTURE_NAME");
    EXPECT_THROW(none.LoadFromResourceID(987654), EResNotFound);

    THTMLPicture web;
    web.SetAsynch(false);
    web.LoadFromURL("http://127.0.0.1/x.gif");
    EXPECT_TRUE(web.Empty());
    EXPECT_EQ(web.URL(), "http://127.0.0.1/x.gif");
    EXPECT_EQ(web.ID(), "http://127.0.0.1/x.gif");
    EXPECT_FALSE(web.Busy());

    THTMLPicture later;
    later.LoadFromURL("http://127.0.0.1/y.gif");
    EXPECT_TRUE(later.Empty());
    EXPECT_TRUE(later.Busy());
    EXPECT_EQ(later.URL(), "http://127.0.0.1/y.gif");
    EXPECT_EQ(later.ID(), "");
}

TEST(HTMLPicture, AssignCopiesTheDataAndStartsAtFrameOne) {
    THTMLPicture src;
    src.LoadFromFile(Fixture("anim3.gif"));
    THTMLPicture dst;
    dst.LoadFromFile(Fixture("anim3.gif"));
    dst.SetFrame(3);
    int changes = 0;
    dst.OnChange = [&](TGraphicsObject*) { ++changes; };
    dst.Assign(&src);
    EXPECT_EQ(dst.Frame(), 1);
    EXPECT_EQ(dst.Data(), src.Data());
    EXPECT_FALSE(dst.Empty());
    EXPECT_EQ(changes, 1);
    dst.Assign(nullptr);
    EXPECT_TRUE(dst.Empty());
    EXPECT_TRUE(dst.Data().isEmpty());
}

TEST(HTMLPicture, DrawingAtItsOwnSizeOrStretched) {
    THTMLPicture pic;
    pic.LoadFromBytes(BmpBytes(4, 4, clRed));
    TBitmap bmp(20, 20);
    bmp.Canvas()->Brush().SetColor(clWhite);
    bmp.Canvas()->FillRect(Rect(0, 0, 20, 20));
    pic.Draw(bmp.Canvas(), Rect(2, 2, 18, 18));
    EXPECT_EQ(PixelOf(bmp.Image(), 5, 5), clRed);
    EXPECT_EQ(PixelOf(bmp.Image(), 6, 6), clWhite);
    pic.SetStretch(true);
    pic.Draw(bmp.Canvas(), Rect(2, 2, 18, 18));
    EXPECT_EQ(PixelOf(bmp.Image(), 17, 17), clRed);
    EXPECT_EQ(PixelOf(bmp.Image(), 18, 18), clWhite);
}

// --- cache and container ---------------------------------------------------------------

TEST(HTMLPictureCache, FindsByExactIDAndOwnsItsPictures) {
    THTMLPictureCache cache;
    THTMLPicture* a = cache.AddPicture();
    a->SetID("FILE://A.GIF");
    THTMLPicture* b = cache.AddPicture();
    b->LoadFromFile(Fixture("anim3.gif"));
    b->SetID("FILE://B.GIF");
    EXPECT_EQ(cache.FindPicture("FILE://A.GIF"), a);
    EXPECT_EQ(cache.FindPicture("file://a.gif"), nullptr);
    EXPECT_EQ(cache.Count(), 2);
    b->FrameCount();
    bool moved = false;
    for (int i = 0; i < 4; ++i) moved |= cache.Animate();
    EXPECT_TRUE(moved);
    cache.ClearPictures();
    EXPECT_EQ(cache.Count(), 0);
}

TEST(PictureContainer, FindsNamesWithoutCaseAndCopiesPictures) {
    TPictureContainer box(nullptr);
    THTMLPicture pic;
    pic.LoadFromBytes(BmpBytes(3, 3, clBlue));
    TPictureItem* item = box.Items()->Add();
    item->Name = "Logo";
    item->SetPicture(&pic);
    EXPECT_NE(item->Picture(), &pic);
    EXPECT_EQ(box.FindPicture("LOGO"), item->Picture());
    EXPECT_EQ(box.FindPicture("logo"), item->Picture());
    EXPECT_EQ(box.FindPicture("other"), nullptr);
    EXPECT_EQ(item->Picture()->Width(), 3);

    TPictureContainer copy(nullptr);
    copy.SetItems(box.Items());
    ASSERT_EQ(copy.Items()->Count(), 1);
    EXPECT_EQ(copy.Items()->Items(0)->Name, "Logo");
    EXPECT_EQ(copy.FindPicture("Logo")->Data(), pic.Data());
}

TEST(PictureContainer, ItsItemsAndThePickersItemsCopyAsTheirOwnKinds) {
    // Each kind of item copies from its own kind and refuses the other,
    // whatever the build.
    TPictureContainer box(nullptr);
    TPictureItem* picture = box.Items()->Add();
    picture->Name = "Logo";
    TPictureContainer copy(nullptr);
    copy.SetItems(box.Items());
    EXPECT_EQ(copy.Items()->Items(0)->Name, "Logo");
    EXPECT_EQ(copy.Items()->Items(0)->ClassName(), "TPictureItem");

    TImageItems images(nullptr);
    TImageItem* image = images.Add();
    image->SetCaption("Cap");
    image->Hint = "Hint";
    TImageItems images2(nullptr);
    images2.Assign(&images);
    EXPECT_EQ(images2.Item(0)->Caption(), "Cap");
    EXPECT_EQ(images2.Item(0)->Hint, "Hint");
    EXPECT_THROW(image->Assign(picture), EConvertError);
    EXPECT_THROW(picture->Assign(image), EConvertError);
}
