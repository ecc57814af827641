#include "gridpack/basegrid/PictureContainer.h"

#include "platform/core/Files.h"
#include "platform/core/StrUtils.h"
#include "platform/graphics/Resources.h"

#include <QBuffer>
#include <QIODevice>

// --- TDownLoadThread --------------------------------------------------------

TDownLoadThread::TDownLoadThread(THTMLPicture* picture) : TThread(false), HTMLPicture(picture) {
    FreeOnTerminate = true;
}

void TDownLoadThread::Execute() {}

// --- THTMLPicture -----------------------------------------------------------

THTMLPicture::THTMLPicture() = default;
THTMLPicture::~THTMLPicture() = default;

const std::vector<GifFrames::TGifFrame>& THTMLPicture::Frames() {
    if (!FFramesScanned) {
        FFrames = GifFrames::ScanFrames(FDatastream);
        FFramesScanned = true;
    }
    return FFrames;
}

void THTMLPicture::SetData(const QByteArray& bytes) {
    FDatastream = bytes;
    FFrames.clear();
    FFramesScanned = false;
}

// Decodes the data, leaving out the GIF frames before the selected one so the
// decoder shows that frame.
void THTMLPicture::LoadPicture() {
    FImage = QImage();
    FDecoded = false;
    FFrameXPos = FFrameYPos = FFrameXSize = FFrameYSize = 0;
    FAnimMaxX = FAnimMaxY = 0;
    QByteArray block = FDatastream;
    if (IsGIF()) {
        const auto& frames = Frames();
        if (!frames.empty()) {
            GifFrames::ScreenSize(FDatastream, FAnimMaxX, FAnimMaxY);
            if (FFrame >= 1 && size_t(FFrame) <= frames.size()) {
                const GifFrames::TGifFrame& f = frames[size_t(FFrame) - 1];
                FFrameXPos = f.Left;
                FFrameYPos = f.Top;
                FFrameXSize = f.Width;
                FFrameYSize = f.Height;
            }
            block = GifFrames::DataFromFrame(FDatastream, frames, FFrame);
        }
    }
    // Data that does not decode leaves the picture empty, whoever loaded it.
    if (block.isEmpty()) {
        FIsEmpty = true;
        throw EInvalidGraphic(QStringLiteral("Empty image stream created"));
    }
    QImage img;
    try {
        img = DecodePicture(block);
    } catch (const Exception&) {
        FIsEmpty = true;
        throw EInvalidGraphic(QStringLiteral("Could not load image. Invalid format"));
    }
    if (img.isNull()) {
        FIsEmpty = true;
        throw EInvalidGraphic(QStringLiteral("Could not load image"));
    }
    FImage = img.convertToFormat(QImage::Format_ARGB32);
    FDecoded = true;
}

void THTMLPicture::Assign(const TGraphic* source) {
    FIsEmpty = true;
    FImage = QImage();
    FDecoded = false;
    FFrameCount = -1;
    FNextCount = -1;
    FTimerCount = -1;
    FFrame = 1;
    if (!source) {
        SetData(QByteArray());
        return;
    }
    const auto* pic = dynamic_cast<const THTMLPicture*>(source);
    if (!pic) return;
    SetData(pic->FDatastream);
    if (FDatastream.isEmpty()) return;
    FIsEmpty = false;
    LoadPicture();
    Changed();
}

void THTMLPicture::Draw(TCanvas* canvas, const TRect& r) {
    if (FIsEmpty || !FDecoded || !canvas) return;
    if (FStretched) {
        TGraphic::Draw(canvas, r);
        return;
    }
    // The canvas draws at the screen's resolution, the size the picture
    // reports.
    TGraphic::Draw(canvas, Bounds(r.Left, r.Top, Width(), Height()));
}

int THTMLPicture::Width() const { return FDecoded ? FImage.width() * ScreenPixelsPerInch / FLogPixX : 0; }
int THTMLPicture::Height() const { return FDecoded ? FImage.height() * ScreenPixelsPerInch / FLogPixY : 0; }

int THTMLPicture::MaxWidth() const {
    if (!FDecoded) return 0;
    return FAnimMaxX != 0 ? FAnimMaxX : Width();
}

int THTMLPicture::MaxHeight() const {
    if (!FDecoded) return 0;
    return FAnimMaxY != 0 ? FAnimMaxY : Height();
}

void THTMLPicture::LoadFromFile(const QString& fileName) {
    try {
        SetData(ReadFileWhole(fileName));
        FIsEmpty = false;
        LoadPicture();
        Changed();
    } catch (const Exception&) {
        FIsEmpty = true;
        FImage = QImage();
        FDecoded = false;
    }
}

void THTMLPicture::LoadFromBytes(const QByteArray& bytes) {
    SetData(bytes);
    FIsEmpty = false;
    LoadPicture();
    Changed();
}

void THTMLPicture::LoadFromStream(TStream* stream) {
    if (!stream) return;
    TMemoryStream mem;
    mem.LoadFromStream(stream);
    LoadFromBytes(mem.Bytes());
}

void THTMLPicture::LoadFromStream(QIODevice& stream) { LoadFromBytes(stream.readAll()); }

void THTMLPicture::ReadData(TStream* stream) {
    if (!stream) return;
    TMemoryStream mem;
    mem.LoadFromStream(stream);
    SetData(mem.Bytes());
    FIsEmpty = false;
    LoadPicture();
}

void THTMLPicture::SaveToStream(TStream* stream) const {
    if (stream && !FDatastream.isEmpty()) stream->WriteBuffer(FDatastream);
}

void THTMLPicture::WriteData(TStream* stream) const { SaveToStream(stream); }

void THTMLPicture::LoadFromResourceName(const QString& name) {
    if (!HasResourceImage(name)) return;
    TBitmap bmp;
    bmp.Assign(ResourceImage(name));
    LoadFromBytes(bmp.SaveToBytes());
}

void THTMLPicture::LoadFromResourceID(int id) {
    const QString name = QString::number(id);
    if (!HasResourceImage(name)) throw EResNotFound(QStringLiteral("Resource %1 not found").arg(name));
    LoadFromResourceName(name);
}

void THTMLPicture::LoadFromURL(const QString& url) {
    const QString upper = UpperCase(url);
    if (upper.startsWith(QLatin1String("RES://"))) {
        FID = url;
        const QString rest = url.mid(6);
        if (!rest.isEmpty()) LoadFromResourceName(rest);
        return;
    }
    if (upper.startsWith(QLatin1String("FILE://"))) {
        FID = url;
        const QString rest = url.mid(7);
        if (!rest.isEmpty()) LoadFromFile(rest);
        return;
    }
    if (!FAsynch) {
        FURL = url;
        FID = url;
        return;
    }
    if (FThreadBusy) return;
    FURL = url;
    FThreadBusy = true;
    NewObject<TDownLoadThread>(this);
}

int THTMLPicture::FrameCount() {
    if (!IsGIF()) return -1;
    if (FFrameCount == -1) FFrameCount = int(Frames().size());
    return FFrameCount;
}

int THTMLPicture::GetFrameTime(int n) const {
    if (!IsGIF()) return -1;
    const auto frames = FFramesScanned ? FFrames : GifFrames::ScanFrames(FDatastream);
    if (n < 1 || size_t(n) > frames.size()) return -1;
    return frames[size_t(n) - 1].Delay;
}

void THTMLPicture::SetFrame(int frame) {
    FFrame = frame;
    if (FDatastream.isEmpty()) return;
    LoadPicture();
    if (OnFrameChange) OnFrameChange(nullptr);
}

void THTMLPicture::FrameNext() {
    int next = FFrame + 1;
    if (next > FrameCount()) next = 1;
    SetFrame(next);
}

void THTMLPicture::FramePrev() {
    int prev = FFrame - 1;
    if (prev < 1) prev = FrameCount();
    SetFrame(prev);
}

bool THTMLPicture::Step() {
    if (FFrameCount < 2 || FIsEmpty) return false;
    bool changed = false;
    if (FNextCount == -1) FNextCount = GetFrameTime(FFrame);
    if (FTimerCount * 10 >= FNextCount) {
        FrameNext();
        FNextCount += GetFrameTime(FFrame);
        changed = true;
    }
    ++FTimerCount;
    return changed;
}

// --- THTMLPictureCache --------------------------------------------------------

THTMLPictureCache::~THTMLPictureCache() { ClearPictures(); }

THTMLPicture* THTMLPictureCache::AddPicture() {
    auto* pic = new THTMLPicture();
    Add(pic);
    return pic;
}

THTMLPicture* THTMLPictureCache::FindPicture(const QString& id) const {
    for (int i = 0; i < Count(); ++i)
        if (GetPicture(i)->ID() == id) return GetPicture(i);
    return nullptr;
}

void THTMLPictureCache::ClearPictures() {
    for (int i = 0; i < Count(); ++i) delete GetPicture(i);
    Clear();
}

bool THTMLPictureCache::Animate() {
    bool changed = false;
    for (int i = 0; i < Count(); ++i)
        if (GetPicture(i)->Step()) changed = true;
    return changed;
}

// --- TPictureItem / TPictureCollection / TPictureContainer ----------------------

TPictureItem::TPictureItem(TCollection* collection) : TCollectionItem(collection), FPicture(new THTMLPicture()) {}

TPictureItem::~TPictureItem() { delete FPicture; }

void TPictureItem::SetPicture(const THTMLPicture* picture) { FPicture->Assign(picture); }

void TPictureItem::Assign(const TPersistent* source) {
    if (source && source->InheritsFrom(QStringLiteral("TPictureItem"))) {
        const auto* src = static_cast<const TPictureItem*>(source);
        SetPicture(src->FPicture);
        Name = src->Name;
        Tag = src->Tag;
        return;
    }
    TCollectionItem::Assign(source);
}

TPictureCollection::TPictureCollection(TComponent* owner)
    : TOwnedCollection(owner, TCollection::ItemClass<TPictureItem>()) {}

bool TPictureCollection::Animate() {
    bool changed = false;
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Picture()->Step()) changed = true;
    return changed;
}

TPictureContainer::TPictureContainer(TComponent* owner) : TComponent(owner), FItems(new TPictureCollection(this)) {}

TPictureContainer::~TPictureContainer() { FItems->Free(); }

THTMLPicture* TPictureContainer::FindPicture(const QString& name) const {
    for (int i = 0; i < FItems->Count(); ++i)
        if (SameText(FItems->Items(i)->Name, name)) return FItems->Items(i)->Picture();
    return nullptr;
}
