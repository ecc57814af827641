#pragma once
// Pictures that mark-up texts name: THTMLPicture keeps a picture's raw data,
// decodes it through the library's picture decoder and steps through the
// frames of an animated GIF; THTMLPictureCache holds the pictures the
// renderer loads from "FILE://" and "RES://" addresses; TPictureContainer is
// the component that holds named pictures.
#include "gridpack/basegrid/GifFrames.h"
#include "platform/core/Collections.h"
#include "platform/core/Components.h"
#include "platform/core/Lists.h"
#include "platform/core/Streams.h"
#include "platform/core/Threads.h"
#include "platform/graphics/Graphics.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

class THTMLPicture;

// The framework's message for a resource the program does not hold.
KAL_DECLARE_EXCEPTION(EResNotFound, Exception)

using TDownLoadProgressEvent = std::function<void(TObject* sender, uint32_t dwSize, uint32_t dwTotSize)>;
using TDownLoadCancelEvent = std::function<void(TObject* sender, bool& Cancel)>;
using TDownLoadErrorEvent = std::function<void(TObject* sender, const QString& err)>;

// Started for an address that is neither "FILE://" nor "RES://" while
// loading is asynchronous. Downloading is not offered: the thread ends at
// once and frees itself; the picture stays empty and busy.
class TDownLoadThread : public TThread {
    KAL_CLASS(TDownLoadThread, TThread)
public:
    explicit TDownLoadThread(THTMLPicture* picture);
    THTMLPicture* HTMLPicture = nullptr;

protected:
    void Execute() override;
};

class THTMLPicture : public TGraphic {
public:
    THTMLPicture();
    ~THTMLPicture() override;
    THTMLPicture(const THTMLPicture&) = delete;
    THTMLPicture& operator=(const THTMLPicture&) = delete;

    // Empty again (decoded picture released, frame 1, counters -1); from
    // another picture its data is taken and decoded, and OnChange raised.
    // nullptr also clears the data.
    void Assign(const TGraphic* source);

    // Nothing when empty or not decoded; stretched into the whole rectangle
    // with Stretch, else at its own size from the rectangle's top left.
    void Draw(TCanvas* canvas, const TRect& r) override;
    bool Empty() const override { return FIsEmpty; }
    // The decoded picture's size at 96 pixels per inch; 0 when not decoded.
    int Width() const override;
    int Height() const override;
    // Setting the size changes nothing.
    void SetWidth(int) {}
    void SetHeight(int) {}
    void SetSize(int, int) override {}
    // The animation's logical screen size when known, else Width / Height.
    int MaxWidth() const;
    int MaxHeight() const;
    QImage ToImage() const override { return FImage; }

    // The file's content; any failure (missing file, data that does not
    // decode) leaves the picture empty and raises nothing.
    void LoadFromFile(const QString& fileName) override;
    // The stream's whole content; decoding errors reach the caller.
    void LoadFromStream(TStream* stream);
    void LoadFromStream(QIODevice& stream) override;
    void LoadFromBytes(const QByteArray& bytes) override;
    void SaveToStream(TStream* stream) const;
    QByteArray SaveToBytes() const override { return FDatastream; }
    // Form streaming: as LoadFromStream without OnChange, and the raw data.
    void ReadData(TStream* stream);
    void WriteData(TStream* stream) const;
    // Clipboard formats are not offered.
    void LoadFromClipboardFormat() {}
    void SaveToClipboardFormat() const {}

    // The program's named pictures stand in for the module's resources; an
    // unknown name changes nothing.
    void LoadFromResourceName(const QString& name);
    // Raises EResNotFound for a number the registry does not hold.
    void LoadFromResourceID(int id);
    // "RES://name" and "FILE://path" (prefixes in any case) load; any other
    // address is remembered and loads nothing.
    void LoadFromURL(const QString& url);

    bool IsGIF() const { return GifFrames::IsGIF(FDatastream); }
    // Frames of a GIF (counted once); -1 for other data.
    int FrameCount();
    // The delay of frame n in hundredths of a second; -1 when there is none.
    int GetFrameTime(int n) const;
    int Frame() const { return FFrame; }
    // Decodes the data again from that frame on and raises OnFrameChange.
    void SetFrame(int frame);
    void FrameNext();
    void FramePrev();
    // One animation tick (a tenth of a second); true when the frame changed.
    bool Step();

    int FrameXPos() const { return FFrameXPos; }
    int FrameYPos() const { return FFrameYPos; }
    int FrameXSize() const { return FFrameXSize; }
    int FrameYSize() const { return FFrameYSize; }

    bool Stretch() const { return FStretched; }
    void SetStretch(bool v) { FStretched = v; }
    QString ID() const { return FID; }
    void SetID(const QString& v) { FID = v; }
    QString URL() const { return FURL; }
    bool IsDB() const { return FIsDB; }
    void SetIsDB(bool v) { FIsDB = v; }
    bool Asynch() const { return FAsynch; }
    void SetAsynch(bool v) { FAsynch = v; }
    bool Busy() const { return FThreadBusy; }
    const QByteArray& Data() const { return FDatastream; }

    TNotifyEvent OnFrameChange;
    TDownLoadProgressEvent OnDownLoadProgress;
    TDownLoadCancelEvent OnDownLoadCancel;
    TNotifyEvent OnDownLoadComplete;
    TDownLoadErrorEvent OnDownLoadError;

private:
    void LoadPicture();
    void SetData(const QByteArray& bytes);
    const std::vector<GifFrames::TGifFrame>& Frames();

    QByteArray FDatastream;
    bool FIsEmpty = true;
    bool FStretched = false;
    QImage FImage; // the decoded picture; null until decoded
    bool FDecoded = false;
    int FLogPixX = 96, FLogPixY = 96;
    QString FURL, FID;
    bool FIsDB = false;
    bool FAsynch = true;
    bool FThreadBusy = false;
    int FFrame = 1;
    int FFrameCount = -1;
    uint16_t FFrameXPos = 0, FFrameYPos = 0, FFrameXSize = 0, FFrameYSize = 0;
    uint16_t FAnimMaxX = 0, FAnimMaxY = 0;
    int FNextCount = -1;
    int FTimerCount = -1;
    std::vector<GifFrames::TGifFrame> FFrames;
    bool FFramesScanned = false;
};

// The pictures the renderer loaded from addresses; it owns them.
class THTMLPictureCache : public TList {
    KAL_CLASS(THTMLPictureCache, TList)
public:
    ~THTMLPictureCache() override;
    THTMLPicture* AddPicture();
    // The first picture whose ID equals id exactly; nullptr when none.
    THTMLPicture* FindPicture(const QString& id) const;
    THTMLPicture* GetPicture(int index) const { return static_cast<THTMLPicture*>(Items(index)); }
    void SetPicture(int index, THTMLPicture* picture) { SetItems(index, picture); }
    void ClearPictures();
    // Step on every picture; true when any frame changed.
    bool Animate();
};

class TPictureItem : public TCollectionItem {
    KAL_CLASS(TPictureItem, TCollectionItem)
public:
    explicit TPictureItem(TCollection* collection);
    ~TPictureItem() override;
    THTMLPicture* Picture() const { return FPicture; }
    // Copies the given picture.
    void SetPicture(const THTMLPicture* picture);
    QString Name;
    int Tag = 0;
    void Assign(const TPersistent* source) override;

private:
    THTMLPicture* FPicture;
};

class TPictureCollection : public TOwnedCollection {
    KAL_CLASS(TPictureCollection, TOwnedCollection)
public:
    explicit TPictureCollection(TComponent* owner);
    TPictureItem* Add() { return static_cast<TPictureItem*>(TCollection::Add()); }
    TPictureItem* Insert(int index) { return static_cast<TPictureItem*>(TCollection::Insert(index)); }
    TPictureItem* Items(int index) const { return static_cast<TPictureItem*>(TCollection::Items(index)); }
    void SetItems(int index, const TPictureItem* value) { Items(index)->Assign(value); }
    bool Animate();
};

class TPictureContainer : public TComponent {
    KAL_CLASS(TPictureContainer, TComponent)
public:
    explicit TPictureContainer(TComponent* owner);
    ~TPictureContainer() override;
    TPictureCollection* Items() const { return FItems; }
    void SetItems(const TPictureCollection* value) { FItems->Assign(value); }
    // The picture of the first item whose Name equals name, ASCII letters
    // compared without case; nullptr when none.
    virtual THTMLPicture* FindPicture(const QString& name) const;

private:
    TPictureCollection* FItems;
};
