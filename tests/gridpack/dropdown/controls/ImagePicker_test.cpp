// The image picker drop-down: choosing by index and image, keys in the open
// and closed popup, filling from the image list and from a folder.
#include "DropDownKit.h"
#include "gridpack/dropdown/ExImagePicker.h"
#include "platform/controls/ImgList.h"

#include <QDir>
#include <QTemporaryDir>

class ImagePickerTest : public DropDownTest {
protected:
    void SetUp() override {
        DropDownTest::SetUp();
        List = new TCustomImageList(Form, 16, 16);
        for (int i = 0; i < 12; ++i) {
            QImage img(16, 16, QImage::Format_ARGB32);
            img.fill(QColor(i * 20, 0, 255 - i * 20));
            List->AddImage(img);
        }
        Picker = NewObject<TExImagePickerDropDown>(Form);
        Picker->SetParent(Form);
        Picker->SetBounds(10, 40, 120, 24);
        Picker->SetImages(List);
        Picker->OnChange = [this](TObject*) { ++Changes; };
        Picker->OnSelect = [this](TObject*) { ++Selects; };
        Form->Show();
        Picker->SetFocus();
    }
    TCustomImageList* List = nullptr;
    TExImagePickerDropDown* Picker = nullptr;
    int Changes = 0, Selects = 0;
};

TEST_F(ImagePickerTest, ImageListFillsFourColumnsOfThreeRows) {
    Picker->AddImagesFromImageList();
    ASSERT_EQ(Picker->Items()->Count(), 12);
    EXPECT_EQ(Picker->Items()->Item(7)->ImageIndex(), 7);
    Picker->SetColumns(4);
    Picker->ShowDropDown();
    ASSERT_TRUE(Picker->DroppedDown());
    TCustomItemSelector* p = Picker->ItemSelector()->SelectorPanel();
    TRect first, last;
    p->GetItemRect(0, first);
    p->GetItemRect(11, last);
    EXPECT_EQ(last.Top, first.Top + 2 * first.Height()) << "three rows";
    EXPECT_EQ(last.Left, first.Left + 3 * first.Width()) << "four columns";
    // Down from 1 goes a row down; Up from 1 has no row above.
    Picker->SetItemIndex(1);
    Picker->HideDropDown(false);
    Picker->ShowDropDown();
    Key(VK_DOWN);
    EXPECT_EQ(Picker->ItemIndex(), 5);
    EXPECT_TRUE(Picker->DroppedDown()) << "moving with the keys keeps the popup";
    Picker->SetItemIndex(1);
    Picker->HideDropDown(false);
    Picker->ShowDropDown();
    Key(VK_UP);
    EXPECT_EQ(Picker->ItemIndex(), 1);
    // Esc after moving restores the item of the opening.
    Key(VK_RIGHT);
    EXPECT_EQ(Picker->ItemIndex(), 2);
    Key(VK_ESCAPE);
    EXPECT_FALSE(Picker->DroppedDown());
    EXPECT_EQ(Picker->ItemIndex(), 1);
}

TEST_F(ImagePickerTest, ImageIndexChoosesOnce) {
    Picker->AddImagesFromImageList();
    Picker->SetImageIndex(7);
    EXPECT_EQ(Picker->ItemIndex(), 7);
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Selects, 1);
    Picker->SetImageIndex(7);
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Selects, 1);
    Picker->SetImageIndex(40);
    EXPECT_EQ(Picker->ItemIndex(), -1) << "an image no item has clears the choice";
    Picker->SetItemIndex(12);
    EXPECT_EQ(Picker->ItemIndex(), -1) << "past the items: ignored";
}

TEST_F(ImagePickerTest, ClosedKeysAndHoveredEnter) {
    Picker->AddImagesFromImageList();
    Key(VK_DOWN);
    EXPECT_EQ(Picker->ItemIndex(), 0) << "closed, Down from no choice";
    Key(VK_END);
    EXPECT_EQ(Picker->ItemIndex(), 11);
    Key(VK_HOME);
    EXPECT_EQ(Picker->ItemIndex(), 0);
    // Enter over a hovered item chooses it and closes.
    Picker->ShowDropDown();
    Changes = Selects = 0;
    Picker->ItemSelector()->SelectorPanel()->SetItemHot(3);
    Key(VK_RETURN);
    EXPECT_FALSE(Picker->DroppedDown());
    EXPECT_EQ(Picker->ItemIndex(), 3);
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Selects, 1);
    // The current item hovered: nothing fires.
    Picker->ShowDropDown();
    Changes = Selects = 0;
    Picker->ItemSelector()->SelectorPanel()->SetItemHot(3);
    Key(VK_RETURN);
    EXPECT_FALSE(Picker->DroppedDown());
    EXPECT_EQ(Changes, 0);
    EXPECT_EQ(Selects, 0);
}

TEST_F(ImagePickerTest, TypeAheadFindsCaptions) {
    for (const char* c : {"Apple", "Banana", "Blueberry"}) Picker->Items()->Add()->SetCaption(c);
    Picker->ShowDropDown();
    Picker->HideDropDown(false);
    Type(QString());
    Key('B');
    Key('L');
    EXPECT_EQ(Picker->ItemIndex(), 2);
    EXPECT_EQ(Picker->CurSearch(), QStringLiteral("BL"));
    Picker->KeyTimer()->Timer();
    EXPECT_TRUE(Picker->CurSearch().isEmpty());
}

TEST_F(ImagePickerTest, FolderScanAddsEveryMatch) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage img(8, 6, QImage::Format_RGB32);
    img.fill(Qt::green);
    ASSERT_TRUE(img.save(dir.filePath("a.bmp")));
    QFile bad(dir.filePath("b.bmp"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a picture");
    bad.close();
    ASSERT_TRUE(QDir(dir.path()).mkdir("c.bmp"));
    Picker->AddImagesFromFolder(dir.path() + "/*.BMP", true);
    ASSERT_EQ(Picker->Items()->Count(), 3) << "the sub-folder matches too";
    int loaded = 0, empty = 0;
    for (int i = 0; i < 3; ++i) {
        TImageItem* it = Picker->Items()->Item(i);
        if (it->Image()->Width() == 8) {
            ++loaded;
            EXPECT_EQ(it->Caption(), QStringLiteral("a.bmp"));
        } else {
            ++empty;
            EXPECT_TRUE(it->Caption().isEmpty());
            EXPECT_EQ(it->Image()->Width(), 0);
        }
    }
    EXPECT_EQ(loaded, 1);
    EXPECT_EQ(empty, 2);
    // "*" also lists "." and "..": they are no items.
    Picker->Items()->Clear();
    Picker->AddImagesFromFolder(dir.path() + "/*", false);
    EXPECT_EQ(Picker->Items()->Count(), 3);
    // The edit paints the chosen picture centred.
    Picker->SetItemIndex(0);
    Form->Invalidate();
    EXPECT_FALSE(Form->RenderClient().isNull());
}
